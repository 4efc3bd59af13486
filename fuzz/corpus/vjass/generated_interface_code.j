globals
 BUTTON array ButtonVar
 PICTURE array PictureVar
 TEXT array TextVar
endglobals
function ECHO takes string msg returns nothing
 call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)
endfunction
function Button_1_Left_Actions takes nothing returns nothing
 call ECHO("Hi")
endfunction
function InterfaceClickL_Timer takes nothing returns nothing
 if BUTTON.ClickPeriodicSelect(GetOwningPlayer(UnitVar), true) then
  if (GetLocalPlayer() == GamePlayer) then
   call ClearSelection()
   call SelectUnit(GameUnit, true)
  endif
 endif
endfunction
function InterfaceClickR takes nothing returns nothing
 if BUTTON.Click(GetOrderTargetUnit(), false) then
  call PauseUnit(GetTriggerUnit(), true)
  call IssueImmediateOrder(GetTriggerUnit(), "stop")
  call PauseUnit(GetTriggerUnit(), false)
 endif
endfunction
function CreateInterface takes CAMERA cam returns nothing
 local trigger trig = CreateTrigger()
 call TriggerRegisterPlayerUnitEvent(trig, GamePlayer, EVENT_PLAYER_UNIT_ISSUED_UNIT_ORDER, null)
 call TriggerAddAction(trig, function InterfaceClickR)
 call TimerStart(CreateTimer(), 0.01, true, function InterfaceClickL_Timer)
//======================
//========Button========
//======================
 set ButtonVar[1] = BUTTON.New(-0.051,0.091,0.101,0.181,1,'B000')
 call ButtonVar[1].Show(true,cam)
 call ButtonVar[1].AddActionL(function Button_1_Left_Actions)
//======================
//========Picture=======
//======================
 set PictureVar[1] = PICTURE.New(0.215,-0.193,0.202,0.181,2,'B001')
 call PictureVar[1].Show(false,cam)
 call PictureVar[1].Show(false,-1)
//======================
//==========TEXT========
//======================
 set TextVar[1] = TEXT.New(-0.354,0.646,1)
 call TextVar[1].Show(true,cam)
 call SetTextTagText(TextVar[1].text, "|c00FF0000Hello|r",0.0184)
 set trig = null
endfunction
