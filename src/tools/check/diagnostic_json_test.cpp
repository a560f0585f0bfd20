#include "tools/check/diagnostic_json.h"

#include <gtest/gtest.h>

namespace rb {
namespace {

TEST(DiagnosticJson, FingerprintsLeaveOutThePlacesATextNames) {
  const std::size_t rule = ruleIndex(ErrorKind::NumberTwice);
  const std::string fingerprint =
      diagnosticFingerprint(rule, "room 2: the room number is already used at line 14");
  EXPECT_EQ(diagnosticFingerprint(rule, "room 2: the room number is already used at line 140"),
            fingerprint);
  EXPECT_EQ(diagnosticFingerprint(rule, "room 2: the room number is already used at b.c:14"),
            fingerprint);
  EXPECT_EQ(diagnosticFingerprint(rule, "a second row for al_2 (the first is at x.dat:3)"),
            diagnosticFingerprint(rule, "a second row for al_2 (the first is at line 9)"));
  // What is no place stays: another room, another rule, words with "at".
  EXPECT_NE(diagnosticFingerprint(rule, "room 3: the room number is already used at line 14"),
            fingerprint);
  EXPECT_NE(diagnosticFingerprint(ruleIndex(ErrorKind::FunctionTwice),
                                  "room 2: the room number is already used at line 14"),
            fingerprint);
  EXPECT_NE(diagnosticFingerprint(rule, "the cat sat at the mat"),
            diagnosticFingerprint(rule, "the cat sat at a mat"));
  EXPECT_NE(diagnosticFingerprint(rule, "what at line x"),
            diagnosticFingerprint(rule, "what at line y"));
}

TEST(DiagnosticJson, FileNamesAsUris) {
  EXPECT_EQ(fileUri("town.c"), "town.c");
  EXPECT_EQ(fileUri("areas/my town.c"), "areas/my%20town.c");
  EXPECT_EQ(fileUri("caf\xe9#1.c"), "caf%E9%231.c");
  EXPECT_EQ(fileUri("/srv/world/town.c"), "file:///srv/world/town.c");
}

}  // namespace
}  // namespace rb
