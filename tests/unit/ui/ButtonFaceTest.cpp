// The owner-drawn buttons' edges: lit or pressed, and white all round on the
// focused button so a pilot on the keyboard sees which one Enter presses; and
// the button drawn once for every toolkit: fill, caption, then the four edges.
#include "ui/ButtonFace.h"

#include "platform/headless/RecordingPainter.h"

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

struct DrawCase {
    const char* name;
    ButtonState state;
};

class ButtonDrawTest : public ::testing::TestWithParam<DrawCase> {};

// Each call of the drawing: kind, area, colour; the edges overlap in the
// corners, so their order decides the corner pixels.
TEST_P(ButtonDrawTest, FillCaptionThenEdges)
{
    using Call = RecordingPainter::Call;
    const ButtonState& state = GetParam().state;
    const ButtonFace face = ButtonFace::of(state);
    RecordingPainter painter;
    ButtonFace::draw(painter, 75, 20, "Load sheet", state);

    struct Expected {
        Call::Kind kind;
        Rect area;
        Colour colour;
    };
    const Expected expected[] = {
        {Call::Fill, {1, 1, 74, 19}, face.fill},     {Call::Centred, {0, 2, 75, 20}, face.caption},
        {Call::Fill, {74, 0, 75, 20}, face.right},   {Call::Fill, {0, 19, 75, 20}, face.bottom},
        {Call::Fill, {0, 0, 1, 20}, face.left},      {Call::Fill, {0, 0, 75, 1}, face.top},
    };
    ASSERT_EQ(painter.calls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const Call& call = painter.calls[i];
        const Expected& e = expected[i];
        EXPECT_EQ(call.kind, e.kind);
        EXPECT_EQ(call.area.left, e.area.left);
        EXPECT_EQ(call.area.top, e.area.top);
        EXPECT_EQ(call.area.right, e.area.right);
        EXPECT_EQ(call.area.bottom, e.area.bottom);
        EXPECT_TRUE(same({call.red, call.green, call.blue}, e.colour));
    }
    EXPECT_EQ(painter.calls[1].text, "Load sheet");
    EXPECT_EQ(painter.calls[1].font, RecordingPainter::kCaptionFont);
}

INSTANTIATE_TEST_SUITE_P(Table, ButtonDrawTest,
                         ::testing::Values(DrawCase{"Raised", {}}, DrawCase{"Highlighted", {false, true}},
                                           DrawCase{"Pressed", {false, false, true, true, false}},
                                           DrawCase{"FocusedDisabled", {false, false, false, false, true}},
                                           DrawCase{"TitlePressed", {true, false, true, true, false}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
