// The form-description parser: every kind of value, and errors that name their line.
#include "vcl/form_reader.h"

#include <gtest/gtest.h>

namespace dfm = vcl::dfm;

namespace {

const dfm::Property& Prop(const dfm::Object& obj, const std::string& name) {
  for (const auto& p : obj.properties)
    if (p.name == name) return p;
  throw std::runtime_error("no property " + name);
}

}  // namespace

TEST(FormReader, ParsesEveryKindOfValue) {
  const char* text = R"(object Main: TMainForm
  Left = -12
  Color = $00FF8000
  All = $FFFFFFFF
  Ratio = 1.5
  Big = -2.5E3
  Caption = 'It''s '#13#10'Ok'
  Unicode = '@'#1078'x'
  Joined = 'first ' +
    'second'
  Filter = 
    'a|*.a'
  Visible = True
  Font.Style = [fsBold, fsItalic]
  Empty = []
  Items.Strings = (
    'one'
    'two')
  Widths = (
    40
    60)
  Panels = <
    item
      Text = 'p1'
      Width = 300
    end
    item
    end>
  Data = {
    FFD8 ff00
    0A}
  object Child: TPanel
    object TButton
      Caption = 'x'
    end
  end
end
)";
  // The file is UTF-8 (this source's literals are code page 1251): @ stands for Ж.
  std::string utf8 = text;
  utf8.replace(utf8.find('@'), 1, "\xD0\x96");
  dfm::Object root = dfm::Parse(utf8, "main.dfm");
  EXPECT_EQ(root.name, "Main");
  EXPECT_EQ(root.class_name, "TMainForm");
  EXPECT_EQ(root.line, 1);

  struct IntCase {
    const char* name;
    std::int64_t value;
  };
  for (const IntCase& c : {IntCase{"Left", -12}, {"Color", 0x00FF8000}, {"All", -1}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Prop(root, c.name).value.kind, dfm::Value::Int);
    EXPECT_EQ(Prop(root, c.name).value.integer, c.value);
  }
  EXPECT_EQ(Prop(root, "Ratio").value.kind, dfm::Value::Float);
  EXPECT_DOUBLE_EQ(Prop(root, "Ratio").value.real, 1.5);
  EXPECT_DOUBLE_EQ(Prop(root, "Big").value.real, -2500.0);

  struct StringCase {
    const char* name;
    const char* value;
  };
  // Contents become code page 1251: Ж is 0xC6, ж (#1078) 0xE6.
  for (const StringCase& c : {StringCase{"Caption", "It's \r\nOk"},
                              {"Unicode", "\xC6\xE6x"},
                              {"Joined", "first second"},
                              {"Filter", "a|*.a"}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Prop(root, c.name).value.kind, dfm::Value::String);
    EXPECT_EQ(Prop(root, c.name).value.text, c.value);
  }
  EXPECT_EQ(Prop(root, "Visible").value.kind, dfm::Value::Ident);
  EXPECT_EQ(Prop(root, "Visible").value.text, "True");
  EXPECT_EQ(Prop(root, "Font.Style").value.names, (std::vector<std::string>{"fsBold", "fsItalic"}));
  EXPECT_TRUE(Prop(root, "Empty").value.names.empty());
  const auto& items = Prop(root, "Items.Strings").value.items;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].text, "two");
  EXPECT_EQ(Prop(root, "Widths").value.items.at(1).integer, 60);
  const auto& panels = Prop(root, "Panels").value.collection;
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_EQ(panels[0].at(1).name, "Width");
  EXPECT_EQ(panels[0].at(1).value.integer, 300);
  EXPECT_TRUE(panels[1].empty());
  EXPECT_EQ(Prop(root, "Data").value.bytes,
            (std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 0x0A}));
  EXPECT_EQ(Prop(root, "Joined").line, 9);

  ASSERT_EQ(root.children.size(), 1u);
  const dfm::Object& child = root.children[0];
  EXPECT_EQ(child.name, "Child");
  EXPECT_EQ(child.line, 32);
  ASSERT_EQ(child.children.size(), 1u);
  EXPECT_EQ(child.children[0].name, "");
  EXPECT_EQ(child.children[0].class_name, "TButton");
}

TEST(FormReader, ErrorsNameTheFileAndLine) {
  struct Case {
    const char* text;
    int line;
    const char* what;
  };
  const Case cases[] = {
      {"object A: TForm\n  Caption = 'open\nend\n", 2, "Unterminated string"},
      {"object A: TForm\n  Left = )\nend\n", 2, "Unexpected character"},
      {"object A: TForm\n  Left 5\nend\n", 2, "'=' expected"},
      {"object A: TForm\n  Left = 99999999999\nend\n", 2, "out of range"},
      {"object A: TForm\n  Left = 12abc\nend\n", 2, "Invalid number"},
      {"object A: TForm\n  S = [a b]\nend\n", 2, "']' expected"},
      {"object A: TForm\n  L = (\n  'a'\n", 2, "')' missing"},
      {"object A: TForm\n  D = { 0A1 }\nend\n", 2, "Odd number"},
      {"object A: TForm\n  D = { 0X }\nend\n", 2, "Hexadecimal digit"},
      {"object A: TForm\n  C = 'a' +\n  5\nend\n", 3, "String expected after '+'"},
      {"object A: TForm\n  P = <\n  thing\n  end>\nend\n", 3, "'item' expected"},
      {"object A: TForm\n  object B: TPanel\n  end\n", 1, "'end' of object A: TForm missing"},
      {"object A: TForm\nend\nobject B: TForm\nend\n", 3, "Text after the end"},
      {"inherited A: TForm\nend\n", 1, "not supported"},
      {"objekt A: TForm\nend\n", 1, "'object' expected"},
      {"object A: TForm\n  Caption = #99999999\nend\n", 2, "Character code out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      dfm::Parse(c.text, "f.dfm");
      ADD_FAILURE() << "parsed";
    } catch (const EReadError& e) {
      std::string message = e.Message.str();
      EXPECT_EQ(message.rfind("f.dfm(" + std::to_string(c.line) + "): ", 0), 0u) << message;
      EXPECT_NE(message.find(c.what), std::string::npos) << message;
    }
  }
}

TEST(FormReader, DeepNestingIsRefused) {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "object A" + std::to_string(i) + ": TPanel\n";
  for (int i = 0; i < 500; ++i) text += "end\n";
  EXPECT_THROW(dfm::Parse(text, "deep.dfm"), EReadError);
}
