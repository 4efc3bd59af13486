function A takes nothing returns nothing
endfunction
function A takes nothing returns nothing
 // second
endfunction
