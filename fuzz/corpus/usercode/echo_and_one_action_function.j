function ECHO takes string msg returns nothing
 call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)
endfunction
function Button_1_Left_Actions takes nothing returns nothing
 call ECHO("Hi")
endfunction
