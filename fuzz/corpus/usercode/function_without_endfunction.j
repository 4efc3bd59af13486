function Open takes nothing returns nothing
 call Open()
