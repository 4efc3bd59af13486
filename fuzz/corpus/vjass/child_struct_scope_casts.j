library Homing requires Missiles
    struct Homing extends Missile
        unit target
        method onDestroy takes nothing returns nothing
            call super.onDestroy()
            set .target = null
        endmethod
        static method create takes unit s, unit t returns thistype
            local thistype this = thistype.allocate(s, 0.)
            set this.target = t
            return this
        endmethod
    endstruct
endlibrary

scope Spells initializer Init
    private struct Data extends array
        implement Alloc
        static integer array counts
    endstruct

    private function Cond takes nothing returns boolean
        return GetSpellAbilityId() == 'A000' or GetSpellAbilityId() == 'A\'01'
    endfunction

    private function Act takes nothing returns nothing
        local Missile m = Missile.create(GetTriggerUnit(), GetUnitFacing(GetTriggerUnit()))
        local Data d = Data(1)
        set Data.counts[integer(d)] = Data.counts[1] + 1
        set m.position = 5.
        call Missile[GetTriggerUnit()].destroy()
        call ExecuteFunc(SCOPE_PRIVATE + "Act")
    endfunction

    private function Init takes nothing returns nothing
        local trigger t = CreateTrigger()
        call TriggerRegisterAnyUnitEventBJ(t, EVENT_PLAYER_UNIT_SPELL_EFFECT)
        call TriggerAddCondition(t, Condition(function Cond))
        call TriggerAddAction(t, function Act)
        set t = null
    endfunction
endscope
