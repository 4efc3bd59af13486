library Missiles requires TimerPool
    private function interface OnHit takes unit target returns boolean

    private keyword MissileInit

    module MissileList
        thistype next
        thistype prev
        static thistype first = 0
        static method add takes thistype m returns nothing
            set m.next = first
            set first.prev = m
            set first = m
        endmethod
        private static method onInit takes nothing returns nothing
            static if thistype.onPeriodic.exists then
                call TimerStart(NewTimer(), TIMEOUT, true, function thistype.onPeriodic)
            endif
        endmethod
    endmodule

    struct Missile
        unit dummy
        real x
        real y
        real speed = 10.
        private real array path[8]
        readonly static integer alive = 0
        OnHit onHit
        private delegate Effect fx

        implement MissileList
        implement optional MissileDebug

        static method create takes unit source, real angle returns thistype
            local thistype this = thistype.allocate()
            set .dummy = CreateUnit(GetOwningPlayer(source), 'h000', GetUnitX(source), GetUnitY(source), angle * bj_RADTODEG)
            set this.x = GetUnitX(.dummy)
            set thistype.alive = thistype.alive + 1
            call thistype.add(this)
            set this.next.prev = this.prev
            set .path[0] = -.5 * -this.x
            return this
        endmethod

        method operator position takes nothing returns real
            return SquareRoot(.x * .x + .y * .y)
        endmethod

        method operator position= takes real v returns nothing
            set .x = v
        endmethod

        static method operator [] takes unit u returns thistype
            return thistype(LoadInteger(HT, 0, GetHandleId(u)))
        endmethod

        method operator < takes thistype other returns boolean
            return .speed < other.speed
        endmethod

        stub method onDestroy takes nothing returns nothing
            call RemoveUnit(.dummy)
            set .dummy = null
        endmethod

        method onPeriodic takes nothing returns nothing
            if not IsUnitType(.dummy, UNIT_TYPE_DEAD) and GetWidgetLife(.dummy) > 0.405 then
                call SetUnitX(.dummy, GetUnitX(.dummy) + .speed * Cos(GetUnitFacing(.dummy) * bj_DEGTORAD))
            elseif .onHit.evaluate(.dummy) then
                call .destroy()
            else
                call this.onDestroy.execute()
            endif
        endmethod
    endstruct

endlibrary
