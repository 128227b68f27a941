// The module's offset space as the stand-in serves it: refreshed from the
// aircraft model before every batch, in each offset's own units, and the
// client's writes turned back into model changes and recorded.
#pragma once

#include "AircraftModel.h"
#include "SimRecord.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class COffsetSpace {
public:
    static constexpr std::uint32_t kSize = 0x10000;

    COffsetSpace(CAircraftModel& model, CSimRecord& record);

    // Writes every served offset from the model.
    void refresh();
    // A read request: bytes outside the space read as zero.
    void read(std::uint32_t offset, std::uint8_t* out, std::uint32_t size) const;
    // A write request: stored, then acted upon.
    void write(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size);
    // Serves these bytes at `offset` after every refresh.
    void pin(std::uint32_t offset, const std::vector<std::uint8_t>& value);
    // Where flight saves are written; empty: saves are only recorded.
    void setSaveDirectory(const std::string& dir) { saveDirectory = dir; }
    // Things that take effect once the whole batch is in (text with its time, save with its name).
    void finishBatch();

private:
    template <typename T> void put(std::uint32_t offset, T value);
    template <typename T> T get(std::uint32_t offset) const;
    void refreshPosition();
    void refreshClock();
    void refreshFuel();
    void refreshWeights();
    void refreshSwitches();
    void actOn(std::uint32_t offset, std::uint32_t size);
    void actOnTank(int slot);
    void saveFlight(const std::string& name);
    std::string textAt(std::uint32_t offset, std::uint32_t size) const;

    CAircraftModel& model;
    CSimRecord& record;
    std::array<std::uint8_t, kSize> bytes{};
    std::map<std::uint32_t, std::vector<std::uint8_t>> pinned;
    std::string saveDirectory;
    bool textPending = false;
    bool savePending = false;
};
