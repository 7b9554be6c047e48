#include "framework/gtk/Resources.h"

#include <string>

#include "framework/core/Exceptions.h"

namespace fw::gtk {

std::string_view LoadRawResource(std::string_view name) {
  for (const EmbeddedResource& resource : EmbeddedResources()) {
    if (resource.Type == std::string_view(kRawDataType) && resource.Name == name) {
      return {reinterpret_cast<const char*>(resource.Data.data()), resource.Data.size()};
    }
  }
  throw fw::Exception("Resource " + std::string(name) + " not found");
}

}  // namespace fw::gtk
