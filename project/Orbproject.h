#pragma once
// The typed binding of the project file: one class per element that the
// program reads, each a handle on its element in the document.
//
// Rules for every element read through the binding: children are found by
// exact name and the first one counts; a missing child is created empty at
// the end of its parent's children (in memory only) and reads as empty text;
// a leaf holds one text node or one CDATA section or nothing, and anything
// else (an element, a comment, several nodes) makes its read fail.

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "project/XMLDocument.h"

namespace orb {

// The text of a leaf element by the rules above. Throws EXMLError.
std::string LeafText(pugi::xml_node leaf);

// Base of the binding classes: a handle on one element.
class TXMLNodeBinding {
 public:
  explicit TXMLNodeBinding(pugi::xml_node element) : element_(element) {}
  pugi::xml_node Node() const { return element_; }

 protected:
  // The first child element of that name, created empty if missing.
  pugi::xml_node ChildElement(const char* name) const;
  std::string ChildText(const char* name) const;
  // Replaces the leaf's content; a leaf that breaks the leaf rules cannot be set.
  void SetChildText(const char* name, std::string_view text) const;

 private:
  pugi::xml_node element_;
};

class TXMLStudioType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  std::string Get_Version() const { return ChildText("Version"); }
  void Set_Version(std::string_view text) const { SetChildText("Version", text); }
};

class TXMLCDFormClassType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  std::string Get_Title() const { return ChildText("Title"); }
  void Set_Title(std::string_view text) const { SetChildText("Title", text); }
};

class TXMLSetupType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  std::string Get_Title() const { return ChildText("Title"); }
  void Set_Title(std::string_view text) const { SetChildText("Title", text); }
};

class TXMLSplashScreenType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  std::string Get_Enable() const { return ChildText("Enable"); }
  std::string Get_Time() const { return ChildText("Time"); }
  std::string Get_Picture() const { return ChildText("Picture"); }
  void Set_Enable(std::string_view text) const { SetChildText("Enable", text); }
  void Set_Time(std::string_view text) const { SetChildText("Time", text); }
  void Set_Picture(std::string_view text) const { SetChildText("Picture", text); }
};

class TXMLMainFormType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  std::string Get_End() const { return ChildText("end"); }
  void Set_End(std::string_view text) const { SetChildText("end", text); }
};

class TXMLProjectType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  TXMLCDFormClassType Get_CDFormClass() const { return TXMLCDFormClassType(ChildElement("CDFormClass")); }
  TXMLSetupType Get_Setup() const { return TXMLSetupType(ChildElement("Setup")); }
  TXMLSplashScreenType Get_SplashScreen() const { return TXMLSplashScreenType(ChildElement("SplashScreen")); }
  TXMLMainFormType Get_MainForm() const { return TXMLMainFormType(ChildElement("MainForm")); }
};

class TXMLOrbdeckType : public TXMLNodeBinding {
 public:
  using TXMLNodeBinding::TXMLNodeBinding;
  TXMLStudioType Get_Studio() const { return TXMLStudioType(ChildElement("Studio")); }
  TXMLProjectType Get_Project() const { return TXMLProjectType(ChildElement("Project")); }
};

// Binds the document element, which must be named exactly "Orbdeck"; a
// document without one gets an empty one in memory. Throws EXMLError for a
// document element of another name.
TXMLOrbdeckType GetOrbdeck(TXMLDocument& document);

}  // namespace orb
