#pragma once

#include <type_traits>
#include <utility>
#include <variant>

#include "panel/data_control.h"
#include "panel/elements.h"

namespace infotrakon::panel {

// The handlers of one visit as one overload set.
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

// Calls the handler that takes the element's own kind (const Label&, const ComboBox&, ...).
// Each handler takes one kind, never the Element itself: then a kind that no handler takes
// is a compile error, and a new kind cannot be passed over unseen.
template <class... Handlers>
decltype(auto) Visit(const Element& element, Handlers&&... handlers) {
    const Overloaded<std::decay_t<Handlers>...> overloaded{std::forward<Handlers>(handlers)...};
    return std::visit([&](const auto* kind) -> decltype(auto) { return overloaded(*kind); },
                      element.AsKind());
}

// A handler that does nothing for each of `Kinds`: the kinds a visit has no work for, still
// named one by one.
template <class Kind>
struct Skip {
    void operator()(const Kind&) const {}
};
template <class... Kinds>
struct SkipKinds : Skip<Kinds>... {
    using Skip<Kinds>::operator()...;
};

}  // namespace infotrakon::panel
