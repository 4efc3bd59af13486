function ECHO
endfunction
