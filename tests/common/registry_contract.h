#pragma once
// What the program relies on from the registry key class, checked the same way against Wine's
// real registry and against the in-memory registry of the native tests, so that the native
// tests stand on the behaviour of the real thing: value types, the default value, read-only
// opening.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace registry_contract {

// `keyPath` must not exist beforehand; it is left behind for the caller to remove.
inline void CheckValueTypesAndTheDefaultValue(const std::string& keyPath) {
  using platform::ValueType;
  platform::RegistryKey key(keyPath, true);
  ASSERT_TRUE(key.IsOpen());
  EXPECT_EQ(ValueType::Missing, key.TypeOf("")) << "a new key has no default value";
  EXPECT_FALSE(key.ValueExists(""));

  ASSERT_TRUE(key.WriteText("plain", "C:\\a.wav"));
  ASSERT_TRUE(key.WriteExpandableText("expand", "%SystemRoot%\\media\\b.wav"));
  ASSERT_TRUE(key.WriteInteger("number", 3));
  EXPECT_EQ(ValueType::Text, key.TypeOf("PLAIN"));
  EXPECT_EQ(ValueType::ExpandableText, key.TypeOf("expand"));
  EXPECT_EQ(ValueType::Integer, key.TypeOf("number"));
  EXPECT_EQ(ValueType::Missing, key.TypeOf("nothing"));
  std::string text;
  EXPECT_TRUE(key.ReadText("expand", text));
  EXPECT_EQ("%SystemRoot%\\media\\b.wav", text) << "read as stored, not expanded";
  int32_t number = 0;
  EXPECT_FALSE(key.ReadInteger("expand", number));

  // Texts of any length come back whole, at the edges of any buffer a reader may start with too.
  for (size_t length : {0, 1, 254, 255, 256, 257, 4000}) {
    std::string stored;
    for (size_t i = 0; i < length; ++i) stored += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(key.WriteText("sized", stored));
    EXPECT_TRUE(key.ReadText("sized", text)) << length;
    EXPECT_EQ(stored, text) << length;
  }

  // Writing a value again gives it the new type.
  ASSERT_TRUE(key.WriteExpandableText("plain", "%TEMP%"));
  EXPECT_EQ(ValueType::ExpandableText, key.TypeOf("plain"));
  ASSERT_TRUE(key.WriteText("plain", "C:\\a.wav"));
  EXPECT_EQ(ValueType::Text, key.TypeOf("plain"));

  ASSERT_TRUE(key.WriteDefault(""));
  EXPECT_EQ(ValueType::Text, key.TypeOf("")) << "an empty default is a value";
  ASSERT_TRUE(key.WriteExpandableText("", "%SystemRoot%\\media\\c.wav"));
  EXPECT_EQ(ValueType::ExpandableText, key.TypeOf(""));
  EXPECT_TRUE(key.DeleteDefault());
  EXPECT_EQ(ValueType::Missing, key.TypeOf(""));
  EXPECT_FALSE(key.ReadText("", text));
  EXPECT_FALSE(key.DeleteDefault()) << "nothing left to delete";
  EXPECT_EQ(ValueType::Text, key.TypeOf("plain")) << "named values stay";
}

// `keyPath` must not exist beforehand; it is left behind for the caller to remove.
inline void CheckReadOnlyOpening(const std::string& keyPath) {
  {
    const platform::RegistryKey missing = platform::RegistryKey::ForReading(keyPath);
    EXPECT_FALSE(missing.IsOpen());
  }
  {
    platform::RegistryKey missing(keyPath, false);
    EXPECT_FALSE(missing.IsOpen()) << "opening for reading made no key";
  }
  {
    platform::RegistryKey key(keyPath, true);
    ASSERT_TRUE(key.WriteText("text", "kept"));
    ASSERT_TRUE(key.WriteDefault("default"));
  }
  platform::RegistryKey reading = platform::RegistryKey::ForReading(keyPath);
  ASSERT_TRUE(reading.IsOpen());
  std::string text;
  EXPECT_TRUE(reading.ReadText("text", text));
  EXPECT_EQ("kept", text);
  EXPECT_EQ(platform::ValueType::Text, reading.TypeOf(""));
  EXPECT_FALSE(reading.WriteText("text", "changed"));
  EXPECT_FALSE(reading.WriteInteger("number", 1));
  EXPECT_FALSE(reading.WriteExpandableText("expand", "%TEMP%"));
  EXPECT_FALSE(reading.DeleteValue("text"));
  EXPECT_FALSE(reading.DeleteDefault());
  reading.Close();

  const platform::RegistryKey check(keyPath, false);
  EXPECT_TRUE(check.ReadText("text", text));
  EXPECT_EQ("kept", text);
  EXPECT_TRUE(check.ValueExists(""));
  EXPECT_FALSE(check.ValueExists("number"));
  EXPECT_FALSE(check.ValueExists("expand"));
}

}  // namespace registry_contract
