// The viewer's overlay: a small panel in the picture's top left corner, its text in a
// built-in 3x5 font, every lit font pixel and graph bar a flat quad.
#include "player/viewer/stats_overlay.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "player/viewer/frame_stats.h"

namespace {

// Glyphs of 3x5 pixels, rows top to bottom, '1' lit; characters without one stay blank.
struct Glyph {
    char character;
    const char* pixels;
};
constexpr Glyph kFont[] = {
    {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"}, {'D', "110101101101110"},
    {'E', "111100110100111"}, {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
    {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
    {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"}, {'P', "110101110100100"},
    {'Q', "010101101110011"}, {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
    {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
    {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"}, {'1', "010110010010111"},
    {'2', "110001010100111"}, {'3', "110001010001110"}, {'4', "101101111001001"}, {'5', "111100110001110"},
    {'6', "011100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
    {':', "000010000010000"}, {'.', "000000000000010"}, {'-', "000000111000000"},
};

// Layout units are pixels of a 640x480 picture; the overlay scales with the picture.
constexpr float kUnitX = 2.0f / 640.0f, kUnitY = 2.0f / 480.0f;
constexpr int kGlyphPixel = 2, kAdvance = 4 * kGlyphPixel, kLineHeight = 5 * kGlyphPixel;
constexpr int kPanelX = 4, kPanelY = 4, kMargin = 4;
constexpr int kGraphHeight = 34;      // units; one unit per millisecond
constexpr float kSlotMs = 1000.0f / 60.0f;
constexpr int kPanelWidth = 2 * kMargin + StatsOverlay::kGraphFrames;
constexpr int kPanelHeight = 4 * kMargin + 2 * kLineHeight + kGraphHeight;

struct Colour {
    float red, green, blue, alpha;
};
constexpr Colour kPanel{0.0f, 0.0f, 0.0f, 0.6f}, kText{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour kInSlot{0.3f, 0.9f, 0.3f, 1.0f}, kLate{1.0f, 0.3f, 0.2f, 1.0f}, kSlotLine{1.0f, 1.0f, 0.4f, 0.8f};

// A rectangle of the panel's units (x right, y down from the picture's top left corner).
void AddRect(std::vector<ScreenVertex>* corners, float x, float y, float width, float height, Colour colour) {
    const float left = -1.0f + x * kUnitX, right = -1.0f + (x + width) * kUnitX;
    const float top = 1.0f - y * kUnitY, bottom = 1.0f - (y + height) * kUnitY;
    for (const auto& [screenX, screenY] : {std::pair{left, top}, {right, top}, {right, bottom}, {left, bottom}}) {
        ScreenVertex corner{};
        corner.z = -1.0f;
        corner.screenX = screenX;
        corner.screenY = screenY;
        corner.red = colour.red;
        corner.green = colour.green;
        corner.blue = colour.blue;
        corner.alpha = colour.alpha;
        corners->push_back(corner);
    }
}

void AddText(std::vector<ScreenVertex>* corners, int x, int y, const char* text) {
    for (; *text != '\0'; ++text, x += kAdvance) {
        const char wanted = char(std::toupper(static_cast<unsigned char>(*text)));
        for (const Glyph& glyph : kFont) {
            if (glyph.character != wanted) continue;
            for (int pixel = 0; pixel < 15; ++pixel)
                if (glyph.pixels[pixel] == '1')
                    AddRect(corners, float(x + pixel % 3 * kGlyphPixel), float(y + pixel / 3 * kGlyphPixel),
                            kGlyphPixel, kGlyphPixel, kText);
        }
    }
}

}  // namespace

void StatsOverlay::OnPresented(int64_t nowNanos, double waitedSeconds, bool held) {
    if (held) {
        previousNanos = 0;
        return;
    }
    const float ms = previousNanos == 0 ? 0.0f : float(double(nowNanos - previousNanos) / 1e6 - waitedSeconds * 1e3);
    frameMs[frames % kGraphFrames] = ms;
    presentedNanos[frames % kTimes] = nowNanos;
    ++frames;
    previousNanos = nowNanos;
}

int StatsOverlay::FramesPerSecond() const {
    if (frames == 0) return 0;
    const int64_t newest = presentedNanos[(frames - 1) % kTimes];
    int count = 0;
    for (long long frame = frames - 1; frame >= 0 && frame > frames - kTimes; --frame, ++count)
        if (newest - presentedNanos[frame % kTimes] >= 1000000000) break;
    return count;
}

void StatsOverlay::Layout(int part, int order, int row, std::vector<ScreenVertex>* out) const {
    out->clear();
    AddRect(out, kPanelX, kPanelY, kPanelWidth, kPanelHeight, kPanel);
    const int textX = kPanelX + kMargin;
    int y = kPanelY + kMargin;
    AddText(out, textX, y, ShowPartName(part));
    y += kLineHeight + kMargin;
    char line[32];
    std::snprintf(line, sizeof line, "%02d:%03d %3d FPS", order, row, FramesPerSecond());
    AddText(out, textX, y, line);
    const int baseline = y + kLineHeight + kMargin + kGraphHeight;
    for (int bar = 0; bar < kGraphFrames; ++bar) {
        const long long frame = frames - kGraphFrames + bar;
        if (frame < 0) continue;
        const float ms = frameMs[frame % kGraphFrames];
        if (ms <= 0.0f) continue;
        const float height = ms < kGraphHeight ? ms : float(kGraphHeight);
        AddRect(out, float(textX + bar), baseline - height, 1.0f, height, ms > kSlotMs ? kLate : kInSlot);
    }
    AddRect(out, float(textX), baseline - kSlotMs, kGraphFrames, 0.5f, kSlotLine);
}

void StatsOverlay::Draw(Renderer* renderer, int part, int order, int row) {
    Layout(part, order, row, &corners);
    renderer->DrawOverlay(corners.data(), int(corners.size() / 4));
}
