// The catalogue's families as types, for code instantiated once per family (the render loop).
#pragma once

#include "attractor/attractor.h"
#include "attractor/families/icon.h"
#include "attractor/families/ifs.h"
#include "attractor/families/lorenz.h"
#include "attractor/families/pickover.h"
#include "attractor/families/polynomial.h"
#include "attractor/families/unravel.h"

#include <typeinfo>

namespace vorticel {

template <class... Families> struct FamilyList {};

using CatalogueFamilies = FamilyList<Icon, IFS, Lorenz_2L, Pickover, Polynomial_A, Polynomial_B,
                                     Polynomial_C, Polynomial_Sprott, Unravel>;

namespace detail {
template <class Fn, class... Families>
void WithFamilyOf(Attractor& attractor, Fn& fn, FamilyList<Families...>) {
    const std::type_info& type = typeid(attractor);
    const bool found =
        ((type == typeid(Families) ? (fn(static_cast<Families&>(attractor)), true) : false) || ...);
    if (!found) {
        fn(attractor);
    }
}
} // namespace detail

// Calls fn(family) with `attractor` as the catalogue class it exactly is, or fn(attractor) as
// a plain Attractor for any other class (a class derived from a family may change its map, so
// only the exact class counts).
template <class Fn> void WithFamily(Attractor& attractor, Fn&& fn) {
    detail::WithFamilyOf(attractor, fn, CatalogueFamilies{});
}

} // namespace vorticel
