#include "option_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace relievo::cli {
namespace {

std::string fitError(const ConvertOptions& o, const StoredSettings& stored = {}) {
  try {
    checkOptionsFit(o, stored);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}

ConvertOptions with(SourceKind kind, const std::function<void(ConvertOptions&)>& set) {
  ConvertOptions o;
  o.source = kind;
  set(o);
  return o;
}

TEST(OptionCheck, OptionsThatTheSourceKindHides) {
  struct Case {
    ConvertOptions options;
    std::string message;
  };
  const Case cases[] = {
      {with(SourceKind::Fractal, [](auto& o) { o.file.emplace("a"); }),
       "--file does not apply to --source fractal"},
      {with(SourceKind::Fractal, [](auto& o) { o.nodata = 0; }),
       "--nodata does not apply to --source fractal"},
      {with(SourceKind::Ascii, [](auto& o) { o.stride = 2; }),
       "--stride does not apply to --source ascii"},
      {with(SourceKind::Ascii, [](auto& o) { o.seed = 2; }),
       "--seed does not apply to --source ascii"},
      {with(SourceKind::Binary, [](auto& o) { o.delimiter = ','; }),
       "--delimiter does not apply to --source binary"},
      {with(SourceKind::Binary, [](auto& o) { o.scan = true; }),
       "--scan does not apply to --source binary"},
      {with(SourceKind::Image, [](auto& o) { o.width = 3; }),
       "--width does not apply to --source image"},
      {with(SourceKind::Image, [](auto& o) { o.water = false; }),
       "--no-water does not apply to --source image"},
      {with(SourceKind::Binary, [](auto& o) { o.component = Component::Red; }),
       "--component does not apply to --source binary"},
      {with(SourceKind::Binary, [](auto& o) { o.byteOrder = ByteOrder::Big; }),
       "--byte-order does not apply to 1-byte elements"},
      {with(SourceKind::Binary,
            [](auto& o) {
              o.type = ElementType::I8;
              o.byteOrder = ByteOrder::Big;
            }),
       "--byte-order does not apply to 1-byte elements"},
      {with(SourceKind::Fractal,
            [](auto& o) {
              o.water = false;
              o.waterLevel = 0.5;
            }),
       "--water-level needs water on (--water)"},
      {with(SourceKind::Fractal, [](auto& o) { o.unitScale = 2.0; }),
       "--unit-scale applies to --units other only"},
      {with(SourceKind::Binary,
            [](auto& o) {
              o.replace = Replacement{true, 0};
            }),
       "--replace needs --nodata (the value of undefined data)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(fitError(c.options), c.message);
}

TEST(OptionCheck, OptionsThatFit) {
  const ConvertOptions fitting[] = {
      {},
      with(SourceKind::Ascii,
           [](auto& o) {
             o.file.emplace("a");
             o.scan = true;
             o.delimiter = ';';
             o.nodata = -9999;
             o.replace = Replacement{false, -1};
             o.order = DataOrder::Cols;
           }),
      with(SourceKind::Binary,
           [](auto& o) {
             o.type = ElementType::F32;
             o.byteOrder = ByteOrder::Little;
             o.stride = 8;
           }),
      with(SourceKind::Image, [](auto& o) { o.component = Component::Green; }),
      with(SourceKind::Fractal,
           [](auto& o) {
             o.seed = 5;
             o.size = 64;
             o.waterLevel = 0.2;
             o.units = Unit::Other;
             o.unitScale = 3.0;
           }),
  };
  for (const ConvertOptions& o : fitting)
    EXPECT_EQ(fitError(o), "");
}

TEST(OptionCheck, WhatTheOptionsLeaveOpenComesFromTheStoredSettings) {
  StoredSettings binary16;
  binary16.sourceKind = SourceKind::Binary;
  binary16.byteType = 1;
  ConvertOptions order;
  order.byteOrder = ByteOrder::Big;
  EXPECT_EQ(fitError(order, binary16), "");
  EXPECT_EQ(fitError(order),
            "--byte-order does not apply to the stored fractal source; choose the kind of source "
            "with --source ascii|binary|image|fractal");

  StoredSettings dry;
  dry.water = false;
  ConvertOptions level;
  level.waterLevel = 0.1;
  EXPECT_EQ(fitError(level, dry), "--water-level needs water on (--water)");
  level.water = true;
  EXPECT_EQ(fitError(level, dry), "");

  StoredSettings other;
  other.units = Unit::Other;
  ConvertOptions scale;
  scale.unitScale = 0.5;
  EXPECT_EQ(fitError(scale, other), "");

  StoredSettings withNulls;
  withNulls.sourceKind = SourceKind::Ascii;
  withNulls.hasNullData = true;
  ConvertOptions replace;
  replace.replace = Replacement{false, 7};
  EXPECT_EQ(fitError(replace, withNulls), "");

  // A stored kind that is no menu position decides nothing.
  StoredSettings nonsense;
  nonsense.sourceKind = std::nullopt;
  ConvertOptions file;
  file.file = "x";
  EXPECT_EQ(fitError(file, nonsense), "");
}

TEST(OptionCheck, StoredSettingsReadTheToolsPreferences) {
  sxhost::Preferences prefs;
  StoredSettings s = storedSettings(prefs);
  EXPECT_EQ(s.sourceKind, SourceKind::Fractal);
  EXPECT_EQ(s.byteType, 0);
  EXPECT_TRUE(s.water);
  EXPECT_EQ(s.units, Unit::Meters);
  EXPECT_FALSE(s.hasNullData);
  EXPECT_EQ(s.fractalSize, 256);

  prefs.set(kToolName, "DataType", 1);
  prefs.set(kToolName, "ByteType", 4);
  prefs.set(kToolName, "Fractal Water", 0);
  prefs.set(kToolName, "Units", 8);
  prefs.set(kToolName, "HasNullData", 1);
  prefs.set(kToolName, "Fractal Size", 512);
  s = storedSettings(prefs);
  EXPECT_EQ(s.sourceKind, SourceKind::Ascii);
  EXPECT_EQ(s.byteType, 4);
  EXPECT_FALSE(s.water);
  EXPECT_EQ(s.units, Unit::Other);
  EXPECT_TRUE(s.hasNullData);
  EXPECT_EQ(s.fractalSize, 512);

  prefs.set(kToolName, "DataType", 9);
  prefs.set(kToolName, "Units", 0);
  s = storedSettings(prefs);
  EXPECT_FALSE(s.sourceKind);
  EXPECT_EQ(s.units, Unit::Meters);
}

}  // namespace
}  // namespace relievo::cli
