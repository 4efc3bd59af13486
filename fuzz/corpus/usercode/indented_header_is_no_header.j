 function Inner takes nothing returns nothing
endfunction
