// The COM port list: the data of the registry's values that begin with "COM", in the box's
// sorted order, the first selected.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim_comm.h"
#include "platform/testing.h"
#include "platform_test_support.h"
#include "prog/form_prog.h"
#include "vcl/headless_gtest.h"

namespace {

class NullDevice : public platform::sim::Device {
 public:
  void OnByte(platform::sim::Line&, std::uint8_t, const platform::sim::LineSettings&) override {}
};

class PortListTest : public vcl::headless::FormTest {
 protected:
  void SetUp() override {
    form = new TForm(Application);
    box = new TComboBox(form);
    box->Parent = form;
    box->Style = csDropDownList;
    box->Sorted = true;
  }
  void TearDown() override {
    platform::testing::ClearSerialCommValues();
    FormTest::TearDown();
  }
  void AttachPorts(const std::vector<std::string>& names) {
    for (auto& name : names) platform::sim::Attach(name, std::make_shared<NullDevice>());
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < box->Items->Count; ++i) items.push_back(box->Items->Strings[i]().c_str());
    return items;
  }

  platform_test::TempPrefix prefix;
  TForm* form = nullptr;
  TComboBox* box = nullptr;
};

TEST_F(PortListTest, ListsComDataSortedAndSelectsTheFirst) {
  AttachPorts({"COM3", "COM10", "COM2"});
  platform::testing::AddSerialCommValue("\\Device\\Parallel0", "LPT1");
  platform::testing::AddSerialCommValue("\\Device\\Odd0", "com4");
  platform::testing::AddSerialCommValue("\\Device\\Short0", "CO");
  platform::testing::AddSerialCommValue("\\Device\\Usb0", "COMX7");
  TFormProg::list_com_ports(box);
  EXPECT_EQ(Items(), (std::vector<std::string>{"COM10", "COM2", "COM3", "COMX7"}));
  EXPECT_EQ(box->ItemIndex, 0);
  EXPECT_EQ(std::string(box->Text().c_str()), "COM10");
}

TEST_F(PortListTest, ReplacesWhatTheBoxHeld) {
  box->Items->Add("COM9");
  box->Items->Add("stale");
  AttachPorts({"COM1"});
  TFormProg::list_com_ports(box);
  EXPECT_EQ(Items(), (std::vector<std::string>{"COM1"}));
  EXPECT_EQ(box->ItemIndex, 0);
}

TEST_F(PortListTest, NoComValueLeavesTheBoxEmptyWithNothingSelected) {
  box->Items->Add("COM9");
  box->ItemIndex = 0;
  platform::testing::AddSerialCommValue("\\Device\\Parallel0", "LPT1");
  TFormProg::list_com_ports(box);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(box->ItemIndex, -1);
  EXPECT_EQ(std::string(box->Text().c_str()), "");
}

}  // namespace
