#pragma once
// Runs the real main window on the in-memory display, in a fresh directory
// standing in for the program's own.
#include <gtest/gtest.h>

#include "app/FieldcastDlg.h"
#include "platform/ModuleDir.h"
#include "platform/Text.h"
#include "res/ResourceIds.h"
#include "support/DisplayTest.h"
#include "support/SettingsIni.h"
#include "support/TempDir.h"

class MainWindowTest : public testing_support::DisplayTest {
 protected:
  void SetUp() override {
    RegisterFieldcastResources();
    platform::SetModuleDirectory(platform::WidenLocal(dir.path()));
    DisplayTest::SetUp();
  }
  void WriteIni(const std::string& design, int output = 1) {
    dir.Write("GNSS.ini", testing_support::SettingsIni{.credentials = "u:p", .time = 10, .output = output, .baud = "19200",
                                                       .design = design}.Text());
  }
  // A source table with two networks and three streams.
  void WriteSourceTable() {
    dir.Write("sourcetable.dat",
              "Server: test\r\n\r\n"
              "NET;NetA;Op;B;N;http://a;http://a/s;http://a/r;none\r\n"
              "NET;NetB;Op;B;N;http://b;http://b/s;http://b/r;none\r\n"
              "STR;MA1;Alpha;RTCM 3.0;1004;2;GPS;NetA;DEU;52.0;9.0;1;1;gen;none;B;N;9600;x\r\n"
              "STR;MB1;Beta;RTCM 2.3;1(1);0;GPS;NetB;DEU;52.0;9.0;0;0;gen;none;N;N;9600;x\r\n"
              "STR;MB2;Gamma;RTCM 3.0;1004;2;GPS+GLO;NetB;DEU;52.0;9.0;0;0;gen;none;N;N;9600;x\r\n"
              "ENDSOURCETABLE\r\n");
  }
  std::wstring ListText(const CListBox& list) const {
    std::wstring text;
    list.GetText(list.GetCurSel(), text);
    return text;
  }

  testing_support::TempDir dir;
};
