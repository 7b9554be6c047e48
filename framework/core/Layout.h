#pragma once

#include <string_view>

namespace fw {

class TForm;

// Builds `form` from its layout: a JSON document naming the form's class, its properties
// and events, and its components (nested where a control holds others). Every component
// the form publishes is assigned, every event is bound to the published handler it names,
// and the layout is aligned. Throws ELayoutError naming the resource and the place.
void LoadLayout(TForm& form, std::string_view resourceName, std::string_view json);

}  // namespace fw
