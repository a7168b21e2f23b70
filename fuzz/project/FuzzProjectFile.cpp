// Reads arbitrary bytes as a project file the way the start sequence does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "project/Orbproject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orb::TXMLDocument document;
  try {
    document.LoadFromBytes(std::as_bytes(std::span(data, size)));
    orb::TXMLProjectType project = orb::GetOrbdeck(document).Get_Project();
    project.Get_CDFormClass().Get_Title();
    project.Get_Setup().Get_Title();
    project.Get_MainForm().Get_End();
    project.Get_CDFormClass().Set_Title("Simple");
  } catch (const orb::EXMLError&) {
  }
  return 0;
}
