functions list takes nothing
endfunction
functionx
endfunction
