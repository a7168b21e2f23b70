#pragma once
// Stored properties that the program sets by name, such as a picture box's
// "Path". Components of our own implement this interface; a setter's failure
// propagates to the caller, in our code, never through Qt's property system.

#include <optional>
#include <string>
#include <string_view>

namespace orb {

class IPublishedProperties {
 public:
  // Sets the property; false when the object has no property of that name.
  virtual bool SetPublishedProperty(std::string_view name, const std::string& value) = 0;
  // The property's value, or nothing when there is no such property.
  virtual std::optional<std::string> PublishedProperty(std::string_view name) const = 0;

 protected:
  ~IPublishedProperties() = default;
};

}  // namespace orb
