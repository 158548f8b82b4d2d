// Module decoding for the music stand-in: libopenmpt renders the song once, in pieces of
// at most kMusicPieceFrames, and every change of (order, row) is reported as a row start.
#include "platform/openmpt/bass_music.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <libopenmpt/libopenmpt.hpp>
#include <vector>

#include "platform/interface/utf8_paths.h"
#include "platform/openmpt/module_limits.h"

MusicStream::MusicStream() = default;
MusicStream::~MusicStream() = default;

bool MusicStream::Load(const char* fileName, std::string* error) {
    Unload();
    std::ifstream file(utf8::Path(fileName), std::ios::binary | std::ios::ate);
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    // The size is known before anything is read: a file beyond the budget is never held.
    const std::streamoff size = file.tellg();
    if (size < 0 || size_t(size) > kMaxModuleBytes) {
        *error = size < 0 ? "cannot tell its size"
                          : std::to_string(size) + " bytes is larger than a module may be (" +
                                std::to_string(kMaxModuleBytes) + " bytes)";
        return false;
    }
    if (size == 0) {
        *error = "the file is empty";
        return false;
    }
    file.seekg(0);
    std::vector<char> bytes(static_cast<size_t>(size));
    if (!file.read(bytes.data(), size)) {
        *error = "read error";
        return false;
    }
    if (!CheckModuleSizes(bytes, error)) return false;
    try {
        // Play once: repeat count 0, and no fade-out tail after the last row. No dither on
        // the 16-bit output: it adds noise from a randomly seeded generator, so the same
        // song would never render to the same samples twice.
        // libopenmpt's load notes are not errors: they go to a stream without a buffer.
        static std::ostream quiet(nullptr);
        module = std::make_unique<openmpt::module>(
            bytes, quiet, std::map<std::string, std::string>{{"play.at_end", "stop"}, {"dither", "0"}});
        module->set_repeat_count(0);
    } catch (const std::exception& e) {
        *error = e.what();
        module.reset();
        return false;
    }
    Restart(0);
    return true;
}

std::vector<int> MusicStream::OrderRows() const {
    std::vector<int> rows;
    if (!module) return rows;
    const int orders = module->get_num_orders();
    for (int order = 0; order < orders; ++order) {
        // Markers ("+++", "---") name no pattern: libopenmpt gives them 0 rows.
        rows.push_back(module->get_pattern_num_rows(module->get_order_pattern(order)));
    }
    return rows;
}

std::vector<double> MusicStream::OrderSeconds() {
    std::vector<double> seconds;
    if (!module) return seconds;
    const int orders = module->get_num_orders();
    for (int order = 0; order < orders; ++order) seconds.push_back(module->set_position_order_row(order, 0));
    seconds.push_back(module->get_duration_seconds());
    Restart(0);
    return seconds;
}

void MusicStream::Unload() {
    module.reset();
    ended = false;
}

void MusicStream::Restart(int startOrder) {
    if (!module) return;
    module->set_position_order_row(startOrder, 0);
    lastOrder = lastRow = -1;
    ended = false;
}

int MusicStream::Render(int frequency, int16_t* out, int frames,
                        void (*onRow)(void* user, int order, int row), void* user) {
    if (!module || ended) return 0;
    int done = 0;
    while (done < frames) {
        // libopenmpt processes a tick only when it renders that tick's first frame, so after
        // a read the reported row is the one playing at the piece's end; a row reported for
        // the first time therefore started inside this piece. A piece is shorter than the
        // shortest tick (about 430 frames at 44.1 kHz), so no row goes unseen.
        const int piece = std::min(kMusicPieceFrames, frames - done);
        const int got = static_cast<int>(module->read_interleaved_stereo(frequency, piece, out + 2 * done));
        // A short read means the song ended inside the piece: no row starts there, and the
        // position libopenmpt reports has already gone back to the start.
        if (got == piece) {
            const int order = module->get_current_order();
            const int row = module->get_current_row();
            if (order != lastOrder || row != lastRow) {
                lastOrder = order;
                lastRow = row;
                rowOffset = done;
                onRow(user, order, row);
            }
        }
        done += got;
        if (got < piece) {
            ended = true;
            break;
        }
    }
    return done;
}
