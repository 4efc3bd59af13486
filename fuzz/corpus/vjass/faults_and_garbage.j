function A takes nothing returns nothing
 DisplayTextToPlayer(GetLocalPlayer(), 0, 0, "x")
 If x then
 endif
 endfucntion
function B takes nothing returns nothing
 call ECHO("unterminated)
endfunction
function C takes nothing returns nothing
 set i = i +
 call X(1,,2)
 set a[1][2 = 3
 if x then
 loop
 endif
endfunction
struct S
 method m takes nothing returns nothing
endstruct
globals
 integer x = 1
 string s = "runs on
 over lines \" with escapes"
 /* and a comment
 over lines */ integer y = 0x 12ab $ 'x
function D takes nothing returns nothing
 set Привет = 'A\'0' + 1. + .5 + 0x1F + $ff + 017
endfunction
//! endtextmacro
//! textmacro Open takes X
При
	я'"
