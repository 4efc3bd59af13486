function F takes nothing returns nothing
endfunction
endfunction;
ENDFUNCTION
endfunction
