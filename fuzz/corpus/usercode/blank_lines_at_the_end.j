function B takes nothing
endfunction



