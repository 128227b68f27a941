// The owner-drawn buttons' edges: lit or pressed, and white all round on the
// focused button so a pilot on the keyboard sees which one Enter presses.
#include "ui/ButtonFace.h"

#include <gtest/gtest.h>

namespace {

struct FaceCase {
    const char* name;
    ButtonState state;
    Colour top, left, bottom, right;
};

bool same(const Colour& a, const Colour& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

class ButtonFaceTest : public ::testing::TestWithParam<FaceCase> {};

TEST_P(ButtonFaceTest, Edges)
{
    const FaceCase& c = GetParam();
    const ButtonFace face = ButtonFace::of(c.state);
    EXPECT_TRUE(same(face.top, c.top));
    EXPECT_TRUE(same(face.left, c.left));
    EXPECT_TRUE(same(face.bottom, c.bottom));
    EXPECT_TRUE(same(face.right, c.right));
}

constexpr Colour kWhite{255, 255, 255}, kDark{50, 50, 50}, kLight{200, 210, 220}, kGrey{80, 80, 80};

INSTANTIATE_TEST_SUITE_P(
    Table, ButtonFaceTest,
    ::testing::Values(FaceCase{"Raised", {}, kLight, kLight, kDark, kDark},
                      FaceCase{"Pressed", {false, false, true, true, false}, kDark, kDark, kDark, kLight},
                      FaceCase{"Focused", {false, false, true, false, true}, kWhite, kWhite, kWhite, kWhite},
                      FaceCase{"FocusedHighlighted", {false, true, true, false, true}, kWhite, kWhite, kWhite, kWhite},
                      FaceCase{"FocusedDisabled", {false, false, false, false, true}, kGrey, kGrey, kGrey, kGrey}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
