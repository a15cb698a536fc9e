#pragma once
// A stream that wants the client's position, end to end inside the test
// process: the real main window, a recording caster on 127.0.0.1, a
// pseudo-terminal as the receiver's port played from real NMEA captures.
#include "app/NmeaReceiver.h"
#include "app/RecordingCaster.h"
#include "app/StreamingFixture.h"

class GgaTest : public StreamingTest {
 protected:
  // The caster on this machine, output to COM1; the stream MP1 wants the
  // position (NMEA flag 1).
  void ConfigureNmeaStream(int casterPort) {
    Configure(casterPort, "", 0);
    dir.Write("sourcetable.dat",
              "STR;MP1;VRS;RTCM 3.2;1004(1);2;GPS+GLO;TEST;XXX;50.00;8.00;1;1;gen;none;N;N;9600;test\r\n"
              "ENDSOURCETABLE\r\n");
  }
  // The capture's lines of one kind ("GGA"), as the receiver wrote them.
  static std::vector<std::string> SentencesOf(const std::string& captureName, const std::string& kind) {
    std::vector<std::string> lines;
    for (const std::string& epoch : NmeaReceiver::Epochs(captureName)) {
      std::istringstream in(epoch);
      for (std::string line; std::getline(in, line);)
        if (line.compare(3, kind.size(), kind) == 0) lines.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
    }
    return lines;
  }
  static bool IsOneOf(const std::string& upload, const std::vector<std::string>& sentences) {
    for (const std::string& sentence : sentences)
      if (upload == sentence + "\r\n") return true;
    return false;
  }
};
