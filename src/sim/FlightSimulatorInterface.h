// The one abstract bridge to the flight simulator. It owns the snapshot the
// bridge fills and carries the bridge-independent logic: fuel distribution,
// the weight and engine checks against the booking, the pilot's landing-light
// switch and the surface and version names.
#pragma once

#include "core/DebugLog.h"
#include "sim/FlightSimulatorObjects.h"

#include <memory>
#include <string>

class CClientInterface;

enum SimulatorVersion {
    SimFS2002 = 6,
    SimFS2004 = 7,
    SimFSX = 8,
    SimOtherFsuipcHost = 9,
    SimP3D = 10,
    SimP3D4 = 11,
    SimP3D5 = 12,
    SimFS2020 = 13,
    SimFS2024 = 14,
    SimXPlane9 = 15,
    SimXPlane10 = 16,
    SimP3D6 = 17,
    SimXPlane12 = 18,
    SimFlightGear = 19,
};

class CFlightSimulatorInterface : public CFlightSimulatorObjects {
public:
    virtual ~CFlightSimulatorInterface();

    virtual bool connect() = 0;
    virtual void disconnect() = 0;
    virtual int getAircraftTanks() = 0;
    virtual int setAircraftTanks() = 0;
    virtual bool getEverything() = 0;
    virtual bool updateFlightTimer() = 0;
    virtual bool failEngine(int engine, bool quiet) = 0;
    virtual bool applyFailure(int kind) = 0;
    virtual bool setSimulationRate(int rate) = 0;
    virtual bool disableSlew() = 0;
    virtual void setTextOutput(bool enabled) = 0;
    virtual bool showText(const std::string& text, int seconds, bool force) = 0;
    virtual bool isConnected() = 0;
    virtual void distributeFuel(int kg);
    virtual std::string getVersionText() = 0;
    virtual std::string getRequiredVersionText() = 0;
    virtual bool checkVersion() = 0;
    virtual int getSimulatorVersion() = 0;
    virtual std::string getSimulatorIdent() = 0;
    virtual void checkFrequently() = 0;
    virtual void resetFlightTimer();
    virtual bool pauseSimulator() = 0;
    virtual bool saveFlight(int number) = 0;

    int checkAircraftData();
    int getOverweight();
    virtual void toggleLandingLights();
    const char* getSurfaceTypeName() const;
    const std::string& getInterfaceName() const { return interfaceName; }
    int getElapsedFlightTime() const;
    const char* getOverweightLimit() const { return szOverweightLimit; }
    bool isLandingLightsOverridden() const { return bLandingLightsOverride; }

    // Names of the version table.
    static const char* getVersionChecklistText(int code);
    // Simulator name stored in the report; unknown codes use the ident.
    std::string getSimulatorReportCode();
    static const char* surfaceTypeName(int code);

    CClientInterface& booking() { return client; }
    CDebugLog& debugLog() { return *log; }

protected:
    // The adapter names its bridge ("FSUIPC", "SimConnect") and its log channel.
    CFlightSimulatorInterface(CClientInterface& client, const std::string& interfaceName,
                              const std::string& channelName);

    CClientInterface& client;
    const char* szOverweightLimit = "";
    std::string interfaceName;
    std::unique_ptr<CDebugLog> log;
    bool bLandingLightsOverride = false;
};
