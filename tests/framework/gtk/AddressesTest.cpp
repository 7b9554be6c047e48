#include <gtest/gtest.h>

#include "framework/gtk/Addresses.h"

TEST(AddressWithScheme, GivesABareHostHttpAndLeavesAbsoluteAddressesAlone) {
  const struct {
    const char* target;
    const char* opened;
  } cases[] = {
      {"clinic.duvuzezera.example", "http://clinic.duvuzezera.example"},
      {"127.0.0.1", "http://127.0.0.1"},
      {"127.0.0.1:8080", "http://127.0.0.1:8080"},
      {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
      {"about:blank", "about:blank"},
      {"https://www.youtube.com/embed/x?autoplay=1", "https://www.youtube.com/embed/x?autoplay=1"},
      // A "://" further on is part of a path or query, not a scheme.
      {"host/path?next=http://other", "http://host/path?next=http://other"},
  };
  for (const auto& c : cases) EXPECT_EQ(fw::gtk::AddressWithScheme(c.target), c.opened) << c.target;
}
