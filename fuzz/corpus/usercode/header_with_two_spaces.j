function  Gap takes nothing returns nothing
endfunction
function	Tab takes nothing
endfunction
