// The framework's small sets of enumeration values (shift state, border
// icons, font styles): `TShiftState() << ssShift`, `s.Contains(ssCtrl)`.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace vcl {

template <class E>
class Set {
public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<E> items)
    {
        for (E e : items)
            FBits |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr Set& operator<<(E e)
    {
        FBits |= Bit(e);
        return *this;
    }
    constexpr Set& operator>>(E e)
    {
        FBits &= ~Bit(e);
        return *this;
    }
    constexpr Set operator+(const Set& o) const
    {
        Set s;
        s.FBits = FBits | o.FBits;
        return s;
    }
    constexpr Set operator*(const Set& o) const
    {
        Set s;
        s.FBits = FBits & o.FBits;
        return s;
    }
    constexpr Set operator-(const Set& o) const
    {
        Set s;
        s.FBits = FBits & ~o.FBits;
        return s;
    }
    constexpr bool operator==(const Set&) const = default;
    constexpr std::uint32_t Bits() const { return FBits; }

private:
    static constexpr std::uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
    std::uint32_t FBits = 0;
};

} // namespace vcl
