// Module decoding for the music stand-in: renders a tracker module through libopenmpt in
// small pieces and reports each pattern row at the piece in which it starts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

// Largest span, in frames, between a row's true start and the piece it is reported in.
constexpr int kMusicPieceFrames = 32;

class MusicStream {
public:
    MusicStream();
    ~MusicStream();

    // Loads a module file; on failure returns false and sets error to the reason. Files
    // larger than kMaxModuleBytes, or declaring sizes CheckModuleSizes refuses, are refused
    // before they are decoded.
    bool Load(const char* fileName, std::string* error);
    // Rows of each order's pattern in the loaded module's order list (0 for an order that
    // names no pattern); empty when nothing is loaded.
    std::vector<int> OrderRows() const;
    // Seconds from the song's start to row 0 of each order in its order list, then the
    // song's length; empty when nothing is loaded. Leaves the stream at order 0.
    std::vector<double> OrderSeconds();
    void Unload();
    bool Loaded() const { return module != nullptr; }
    // Rewinds to row 0 of startOrder; the next row seen is reported again.
    void Restart(int startOrder);
    // Renders up to frames interleaved 16-bit stereo frames at frequency Hz into out,
    // calling onRow(user, order, row) whenever a new row starts within a piece, before
    // the following piece is rendered. Returns the frames rendered; fewer than asked
    // means the song has ended.
    int Render(int frequency, int16_t* out, int frames,
               void (*onRow)(void* user, int order, int row), void* user);
    bool Ended() const { return ended; }
    // Frames from the start of the Render call under way to the piece in which the row
    // being reported started (valid inside onRow).
    int RowOffset() const { return rowOffset; }

private:
    std::unique_ptr<openmpt::module> module;
    int lastOrder = -1, lastRow = -1;
    int rowOffset = 0;
    bool ended = false;
};
