function
function Alone
endfunction
