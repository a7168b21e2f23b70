#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "project/Orbproject.h"
#include "project/XMLDocument.h"

using namespace orb;

namespace {

TXMLDocument Parse(std::string_view xml) {
  TXMLDocument document;
  document.LoadFromBytes(std::as_bytes(std::span(xml.data(), xml.size())));
  return document;
}

std::string MenuName(std::string_view xml) {
  TXMLDocument document = Parse(xml);
  return GetOrbdeck(document).Get_Project().Get_CDFormClass().Get_Title();
}

}  // namespace

TEST(Orbproject, ReadsTheMenuNameAndTitle) {
  TXMLDocument document = Parse(
      "<?xml version=\"1.0\"?><Orbdeck><Studio><Version>3</Version></Studio><Project>"
      "<CDFormClass><Title>Simple</Title></CDFormClass><Setup><Title>My CD &amp; more</Title></Setup>"
      "</Project></Orbdeck>");
  TXMLOrbdeckType root = GetOrbdeck(document);
  EXPECT_EQ(root.Get_Project().Get_CDFormClass().Get_Title(), "Simple");
  EXPECT_EQ(root.Get_Project().Get_Setup().Get_Title(), "My CD & more");
  EXPECT_EQ(root.Get_Studio().Get_Version(), "3");
}

TEST(Orbproject, SiblingOrderDoesNotMatterAndTheFirstChildCounts) {
  EXPECT_EQ(MenuName("<Orbdeck><Project><Setup><Title>T</Title></Setup><CDFormClass><Title>A</Title></CDFormClass>"
                     "<CDFormClass><Title>B</Title></CDFormClass></Project><Studio/></Orbdeck>"),
            "A");
  EXPECT_EQ(MenuName("<Orbdeck><project><CDFormClass><Title>lower</Title></CDFormClass></project>"
                     "<Project><CDFormClass><Title>exact</Title></CDFormClass></Project></Orbdeck>"),
            "exact")
      << "names compare exactly";
}

TEST(Orbproject, LeafTextKeepsItsCharactersAndAcceptsCdata) {
  EXPECT_EQ(MenuName("<Orbdeck><Project><CDFormClass><Title>  Package Software </Title></CDFormClass></Project></Orbdeck>"),
            "  Package Software ");
  EXPECT_EQ(MenuName("<Orbdeck><Project><CDFormClass><Title><![CDATA[a<b]]></Title></CDFormClass></Project></Orbdeck>"),
            "a<b");
  EXPECT_EQ(MenuName("<Orbdeck><Project><CDFormClass><Title/></CDFormClass></Project></Orbdeck>"), "");
}

TEST(Orbproject, LeafWithAnythingButOneTextNodeCannotBeRead) {
  for (const char* leaf : {"<Title><b>Simple</b></Title>", "<Title><!-- note --></Title>",
                           "<Title>Sim<!-- x -->ple</Title>", "<Title>a<![CDATA[b]]></Title>",
                           "<Title><?pi x?></Title>"}) {
    std::string xml = std::string("<Orbdeck><Project><CDFormClass>") + leaf + "</CDFormClass></Project></Orbdeck>";
    EXPECT_THROW(MenuName(xml), EXMLError) << leaf;
  }
}

TEST(Orbproject, MissingChildrenAreCreatedEmptyAtTheEnd) {
  TXMLDocument document = Parse("<Orbdeck><Studio/></Orbdeck>");
  TXMLOrbdeckType root = GetOrbdeck(document);
  EXPECT_EQ(root.Get_Project().Get_CDFormClass().Get_Title(), "");
  pugi::xml_node project = root.Node().last_child();
  EXPECT_STREQ(project.name(), "Project");
  EXPECT_STREQ(project.first_child().name(), "CDFormClass");
  EXPECT_STREQ(project.first_child().first_child().name(), "Title");
  EXPECT_EQ(root.Get_Project().Get_MainForm().Get_End(), "");
  EXPECT_STREQ(project.last_child().first_child().name(), "end");
}

TEST(Orbproject, DocumentElementMustBeOrbdeck) {
  TXMLDocument wrong = Parse("<orbdeck/>");
  EXPECT_THROW(GetOrbdeck(wrong), EXMLError);
  TXMLDocument empty;
  TXMLOrbdeckType created = GetOrbdeck(empty);
  EXPECT_STREQ(empty.DocumentElement().name(), "Orbdeck");
  EXPECT_EQ(created.Node(), empty.DocumentElement());
}

TEST(Orbproject, SettersReplaceTextAndRefuseElementContent) {
  TXMLDocument document = Parse("<Orbdeck><Project><CDFormClass><Title>Old</Title></CDFormClass>"
                                "<SplashScreen><Picture><x/></Picture></SplashScreen></Project></Orbdeck>");
  TXMLProjectType project = GetOrbdeck(document).Get_Project();
  project.Get_CDFormClass().Set_Title("Software Distribution");
  EXPECT_EQ(project.Get_CDFormClass().Get_Title(), "Software Distribution");
  project.Get_CDFormClass().Set_Title("");
  EXPECT_EQ(project.Get_CDFormClass().Get_Title(), "");
  project.Get_SplashScreen().Set_Time("3");
  EXPECT_EQ(project.Get_SplashScreen().Get_Time(), "3");
  EXPECT_THROW(project.Get_SplashScreen().Set_Picture("a.bmp"), EXMLError);
}

TEST(XMLDocument, MalformedInputFailsWithTheParserMessage) {
  for (const char* xml : {"", "not xml", "<Orbdeck><Project>", "<Orbdeck></orbdeck>", "<!-- only -->"}) {
    EXPECT_THROW(Parse(xml), EXMLError) << xml;
  }
  try {
    Parse("<Orbdeck><Project>");
  } catch (const EXMLError& e) {
    EXPECT_NE(std::string(e.what()).find("at offset"), std::string::npos);
  }
}

TEST(XMLDocument, ReadsUtf16AndByteOrderMarks) {
  std::string utf8Bom = "\xEF\xBB\xBF<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass></Project></Orbdeck>";
  EXPECT_EQ(MenuName(utf8Bom), "Simple");
  std::u16string wide = u"\uFEFF<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass></Project></Orbdeck>";
  TXMLDocument document;
  document.LoadFromBytes(std::as_bytes(std::span(wide.data(), wide.size())));
  EXPECT_EQ(GetOrbdeck(document).Get_Project().Get_CDFormClass().Get_Title(), "Simple");
}
