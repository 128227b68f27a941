// Hands the failure draws through to the flight's recording, so a replay can
// arm the same failures.
#pragma once

#include "monitor/failures/RandomSource.h"
#include "recorder/FlightRecorder.h"

class CRecordedDraws final : public Failures::CRandomSource {
public:
    CRecordedDraws(Failures::CRandomSource& draws, CFlightRecorder& flightRecorder)
        : source(draws), recorder(flightRecorder)
    {
    }
    int nextInt() override
    {
        const int value = source.nextInt();
        recorder.draw(value);
        return value;
    }

private:
    Failures::CRandomSource& source;
    CFlightRecorder& recorder;
};
