function F takes nothing returns nothing
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
if x then
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endif
endfunction
