// The liking run: one pass over the contact table that has the QQ client
// show each contact's profile card and clicks its like point.
#pragma once

#include <cstdint>

inline constexpr char ProfileUrlPrefix[] = "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=";
inline constexpr char ProfileWindowClass[] = "TXGuiFoundation";
inline constexpr char ProfileTitleFragment[] = "的资料";
inline constexpr std::int32_t CardSettleDelay = 1000;  // ms after the URL
struct ClientPoint {
  std::int32_t x, y;
};
inline constexpr ClientPoint LikePoint{336, 329};
inline constexpr int LikeClickCount = 10;
inline constexpr std::int32_t LikeClickInterval = 300;  // ms after every click
// A card that is not there after the settle delay is looked for again this
// often, up to this much longer (the first card of a session is often slow).
inline constexpr std::int32_t CardLookInterval = 250;
inline constexpr std::int32_t CardLookLimit = 2000;

void LikeRun();
