// Building forms from descriptions: classes, properties, references, pictures, and the binding
// of a form class's fields and handlers, with the errors that stop a start-up.
#include <gtest/gtest.h>

#include "jpeg_sample.h"
#include "vcl/form_reader.h"
#include "vcl/headless_gtest.h"

namespace hl = vcl::headless;

namespace {

std::string ErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const EReadError& e) {
    return e.Message.str();
  }
  return "(no error)";
}

}  // namespace

class FormLoaderTest : public hl::FormTest {};

TEST_F(FormLoaderTest, DescriptionErrorsNameFileAndLine) {
  struct Case {
    const char* text;
    const char* message;  // the whole message after "t.dfm"
  };
  const Case cases[] = {
      {"object F: TForm\n  object B: TBlinker\n  end\nend\n", "(2): Class TBlinker not found"},
      {"object F: TForm\n  object B: TButton\n    Blink = 1\n  end\nend\n",
       "(3): Error reading B.Blink: Property Blink does not exist"},
      {"object F: TForm\n  Font.Weight = 3\nend\n",
       "(2): Error reading F.Font.Weight: Property Weight does not exist"},
      {"object F: TForm\n  Caption.Size = 3\nend\n",
       "(2): Error reading F.Caption.Size: Property Caption has no parts"},
      {"object F: TForm\n  Visible = 1\nend\n",
       "(2): Error reading F.Visible: True or False expected"},
      {"object F: TForm\n  Left = 'x'\nend\n", "(2): Error reading F.Left: Integer value expected"},
      {"object F: TForm\n  Align = alMiddle\nend\n",
       "(2): Error reading F.Align: Invalid property value alMiddle"},
      {"object F: TForm\n  Font.Style = [fsBold, fsWide]\nend\n",
       "(2): Error reading F.Font.Style: Invalid set element fsWide"},
      {"object F: TForm\n  Color = clSunset\nend\n",
       "(2): Error reading F.Color: Invalid colour clSunset"},
      {"object F: TForm\n  Menu = MainMenu9\nend\n",
       "(2): Error reading F.Menu: Component MainMenu9 not found"},
      {"object F: TForm\n  Menu = B\n  object B: TButton\n  end\nend\n",
       "(2): Error reading F.Menu: B is not of the kind this property takes"},
      {"object F: TForm\n  object B: TButton\n  end\n  object B: TEdit\n  end\nend\n",
       "(4): A component named B already exists"},
      {"object F: TForm\n  object L: TLabel\n    object B: TButton\n    end\n  end\nend\n",
       "(3): B is a control, but L cannot hold controls"},
      {"object F: TForm\n  object M: TMenuItem\n  end\nend\n",
       "(2): M is a menu item outside a menu"},
      {"object F: TForm\n  object G: TStringGrid\n    ColCount = 2\n    FixedCols = 1\n"
       "  end\n  object P: TImage\n    Picture.Resource = 'x.jpg'\n  end\nend\n",
       "(7): Error reading P.Picture.Resource: The picture 'x.jpg' is not embedded with this form"},
      {"object F: TForm\n  object P: TImage\n    Picture.Data = {0A0B0C}\n  end\nend\n",
       "(3): Error reading P.Picture.Data: Unknown picture format (only JPEG pictures are "
       "supported)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TForm* form = new TForm(Application);
    EXPECT_EQ(ErrorOf([&] { form->ReadDescription(c.text, "t.dfm"); }),
              std::string("t.dfm") + c.message);
    delete form;
  }
}

TEST_F(FormLoaderTest, ReadsNestedControlsMenusAndReferences) {
  const char* text = R"(object Probe: TProbeForm
  Menu = Menu1
  ActiveControl = Edit1
  object Pages: TPageControl
    ActivePage = Second
    object First: TTabSheet
      Caption = 'One'
      object Edit1: TEdit
      end
    end
    object Second: TTabSheet
      Caption = 'Two'
    end
  end
  object Menu1: TMainMenu
    object Top1: TMenuItem
      Caption = 'File'
      object Sub1: TMenuItem
        Caption = 'Open'
      end
      object Line1: TMenuItem
        Caption = '-'
      end
    end
  end
  object Grid: TStringGrid
    ColCount = 3
    RowCount = 4
    FixedCols = 2
    ColWidths = (
      10
      20)
  end
  object Track: TTrackBar
    Position = 50
    Max = 80
    Min = 10
  end
end
)";
  auto* form = new TForm(Application);
  form->ReadDescription(text, "probe.dfm");
  auto* pages = hl::Find<TPageControl>(form, "Pages");
  EXPECT_EQ(pages->PageCount, 2);
  EXPECT_EQ(pages->ActivePage(), hl::Find<TTabSheet>(form, "Second"));
  EXPECT_EQ(hl::Find<TEdit>(form, "Edit1")->Parent(), hl::Find(form, "First"));
  EXPECT_EQ(form->ActiveControl(), hl::Find(form, "Edit1"));
  auto* menu = hl::Find<TMainMenu>(form, "Menu1");
  EXPECT_EQ(form->Menu(), menu);
  ASSERT_EQ(menu->Items->Count, 1);
  EXPECT_EQ(menu->Items->Items[0]->Count, 2);
  EXPECT_TRUE(hl::Find<TMenuItem>(form, "Line1")->IsLine());
  EXPECT_EQ(hl::Find<TMenuItem>(form, "Sub1")->GetParentMenu(), menu);
  auto* grid = hl::Find<TStringGrid>(form, "Grid");
  EXPECT_EQ(grid->FixedCols, 2);
  EXPECT_EQ(grid->ColWidths[1], 20);
  EXPECT_EQ(grid->ColWidths[2], 64);
  // Properties that depend on each other are settled once everything is read.
  EXPECT_EQ(hl::Find<TTrackBar>(form, "Track")->Position, 50);
  EXPECT_EQ(form->Name(), "Probe");
  auto* second = new TForm(Application);
  second->ReadDescription(text, "probe.dfm");
  EXPECT_EQ(second->Name(), "Probe_1");
}

TEST_F(FormLoaderTest, PictureDataHoldsAJpegFile) {
  std::vector<std::uint8_t> jpeg = testing_support::SampleJpeg(8, 4);
  std::string hex;
  char buf[3];
  for (std::uint8_t b : jpeg) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    hex += buf;
  }
  std::string text =
      "object F: TForm\n  object I: TImage\n    Picture.Data = {\n" + hex + "}\n  end\nend\n";
  auto* form = new TForm(Application);
  form->ReadDescription(text, "pic.dfm");
  TPicture* picture = hl::Find<TImage>(form, "I")->Picture;
  EXPECT_EQ(picture->Width(), 8);
  EXPECT_EQ(picture->Height(), 4);
}

// ---- Fields and handlers of form classes ----

namespace {
const char kBindingText[] = R"(object Bound: TBoundForm
  OnClose = FormClose
  object Button1: TButton
    OnClick = Button1Click
  end
  object Label1: TLabel
  end
end
)";
}  // namespace

// The description above, as vcl_add_forms embeds one for its form class.
#define BOUND_DESCRIPTION(Class)                                                  \
  extern const vcl::FormResource vcl_form_resource_##Class;                       \
  const vcl::FormResource vcl_form_resource_##Class = {"bound.dfm", kBindingText, \
                                                       sizeof kBindingText - 1, nullptr, 0}

BOUND_DESCRIPTION(TBoundForm);

class TBoundForm : public TForm {
 public:
  VCL_FORM(TBoundForm)
  VCL_FIELD(TButton, Button1);
  void Button1Click(TObject*) { ++clicks; }
  void FormClose(TObject*, TCloseAction& Action) {
    ++closes;
    Action = caNone;
  }
  VCL_HANDLERS(Button1Click, FormClose);
  explicit TBoundForm(TComponent* Owner) : TForm(Owner) { seen_in_constructor = Button1; }
  int clicks = 0;
  int closes = 0;
  TButton* seen_in_constructor = nullptr;
};

// A field before the description's name macro and a label it does not publish.
class TBoundLateForm : public TForm {
 public:
  VCL_FIELD(TLabel, Label1);
  VCL_FORM(TBoundLateForm)
  void Button1Click(TObject*) {}
  void FormClose(TObject*, TCloseAction&) {}
  VCL_HANDLERS(FormClose, Button1Click);
  explicit TBoundLateForm(TComponent* Owner) : TForm(Owner) {}
};
BOUND_DESCRIPTION(TBoundLateForm);

class TMissingHandlerForm : public TForm {
 public:
  VCL_FORM(TMissingHandlerForm)
  void FormClose(TObject*, TCloseAction&) {}
  VCL_HANDLER(FormClose);
  explicit TMissingHandlerForm(TComponent* Owner) : TForm(Owner) {}
};
BOUND_DESCRIPTION(TMissingHandlerForm);

class TWrongHandlerForm : public TForm {
 public:
  VCL_FORM(TWrongHandlerForm)
  void Button1Click(TObject*) {}
  void FormClose(TObject*) {}  // an OnClose handler takes the action too
  VCL_HANDLERS(Button1Click, FormClose);
  explicit TWrongHandlerForm(TComponent* Owner) : TForm(Owner) {}
};
BOUND_DESCRIPTION(TWrongHandlerForm);

class TWrongFieldForm : public TForm {
 public:
  VCL_FORM(TWrongFieldForm)
  VCL_FIELD(TEdit, Label1);
  explicit TWrongFieldForm(TComponent* Owner) : TForm(Owner) {}
};
BOUND_DESCRIPTION(TWrongFieldForm);

class TMissingFieldForm : public TForm {
 public:
  VCL_FORM(TMissingFieldForm)
  VCL_FIELD(TEdit, Edit7);
  explicit TMissingFieldForm(TComponent* Owner) : TForm(Owner) {}
};
BOUND_DESCRIPTION(TMissingFieldForm);

TEST_F(FormLoaderTest, FieldsAndHandlersAreBoundByName) {
  TBoundForm* form;
  Application->CreateForm<TBoundForm>(&form);
  EXPECT_EQ(form->seen_in_constructor, form->Button1);
  EXPECT_EQ(form->Button1, hl::Find(form, "Button1"));
  form->Show();
  hl::Click(form->Button1);
  EXPECT_EQ(form->clicks, 1);
  hl::Close(form);  // caNone keeps the main form and the loop
  EXPECT_EQ(form->closes, 1);
  EXPECT_FALSE(Application->Terminated);

  TBoundLateForm* late;
  Application->CreateForm<TBoundLateForm>(&late);
  EXPECT_EQ(late->Label1, hl::Find(late, "Label1"));
}

template <class T>
void Create() {
  T* form;
  Application->CreateForm<T>(&form);
}

TEST_F(FormLoaderTest, BindingErrorsStopTheStartUp) {
  struct Case {
    void (*create)();
    const char* message;
  };
  const Case cases[] = {
      {Create<TMissingHandlerForm>,
       "bound.dfm(4): Error reading Button1.OnClick: TBoundForm publishes no handler "
       "'Button1Click'"},
      {Create<TWrongHandlerForm>,
       "bound.dfm(2): Error reading Bound.OnClose: the handler FormClose does not take the "
       "parameters of this event"},
      {Create<TWrongFieldForm>,
       "bound.dfm(6): Label1 is a TLabel, but the field TBoundForm.Label1 is a TEdit"},
      {Create<TMissingFieldForm>,
       "bound.dfm: The field TBoundForm.Edit7 has no object of that name in the description"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.create), c.message);
}
