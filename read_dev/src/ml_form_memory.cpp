// The memory commands (erase, format, factory settings) with their confirmations and the
// countdown while the device works, the hand-over to the boot loader that starts the firmware
// loader, and the exit path that offers the erase first.
#include "comm_port/comm_port.h"
#include "read_dev/device_command.h"
#include "read_dev/ml_form.h"

namespace {

constexpr DWORD DoneDeadlineMs = 5000;

// The erase and the format: confirmation, the command, its "@", then the countdown all the
// same when the device did not answer.
void RunMemoryCommand(TML_Form* form, BYTE command, int countdown_seconds) {
  RequirePortOpen();
  if (!ConfirmOrAbort("Память будет стерта ?", " ")) return;
  PurgeBothAndPause(PurgePauseMs);
  CommPort->WriteByte(command);
  if (!WaitForDone(DoneDeadlineMs)) ShowMessage("Прибор не отвечает...");
  form->ShowMemoryCountdown(countdown_seconds);
}

}  // namespace

void TML_Form::SBCHEraseClick(TObject* Sender) {
  RunMemoryCommand(this, CmdEraseMemory, 3);
}

void TML_Form::FormatDeviceMemory() {
  RunMemoryCommand(this, CmdFormatMemory, 25);
}

void TML_Form::sb_full_eraseClick(TObject* Sender) {
  FormatDeviceMemory();
}

void TML_Form::N1Click(TObject* Sender) {
  sb_full_erase->Click();
}

void TML_Form::SBSetupClick(TObject* Sender) {
  RequirePortOpen();
  if (!ConfirmOrAbort("Заводские установки.\r\n Память будет стерта ?", " ")) return;
  PurgeBothAndPause(PurgePauseMs);
  CommPort->WriteByte(CmdFactorySettings);
  if (!WaitForDone(DoneDeadlineMs)) ShowMessage("Прибор не отвечает...");
}

void TML_Form::mill_setupClick(TObject* Sender) {
  SBSetupClick(Sender);
}

void TML_Form::ShowMemoryCountdown(int seconds) {
  pb_mem->Position = 0;
  Panel3->BringToFront();
  Panel3->Visible = true;
  pb_mem->Step = 1;
  pb_mem->Max = seconds;
  for (int i = 0; i < seconds; ++i) {
    Sleep(1000);
    pb_mem->Position = i;
    Label36->Caption = "Осталось " + IntToStr(seconds - i) + " Sec.  ";
    Label35->Refresh();
    Label36->Refresh();
  }
  Panel3->Visible = false;
}

// ---- Hand-over to the boot loader ----

void TML_Form::sb_jmp_bootClick(TObject* Sender) {
  RequirePortOpen();
  PurgeBothAndPause(PurgePauseMs);
  CommPort->WriteByte(CmdJumpBootLoader);
  SBOpenComPort->Enabled = true;
  SBCloseComPort->Enabled = false;
  SBCloseComPortClick(Sender);

  // The loader runs on its own: no arguments, not waited for, no handle kept; a loader that
  // cannot be started is not reported. It runs in the working folder, where its firmware files
  // are kept, whatever folder the save question made this program's current one.
  AnsiString loader = WorkFolder + "Flasket.exe";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(loader.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                     WorkFolder.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// ---- Exit ----

void TML_Form::SBAllExitClick(TObject* Sender) {
  if (!CommPort->IsOpen()) {
    Close();
    Abort();
  }
  // Cancel only skips the erase; the erase's own Cancel ends the exit.
  if (Application->MessageBox("Обнулить память прибора ? ", "", MB_OKCANCEL | MB_ICONQUESTION) ==
      IDOK)
    SBCHEraseClick(Sender);
  SBOpenComPort->Enabled = true;
  SBCloseComPort->Enabled = false;
  ClosePort();
  Close();
}

void TML_Form::Exit1Click(TObject* Sender) {
  SBAllExitClick(Sender);
}
