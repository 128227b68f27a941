// What the page painters see of the user interface: the flight's objects,
// the page shown and the shared options. The painters include this, not the
// user interface, so that the interface can own them.
#pragma once

class CClientInterface;
class CFlightSimulatorInterface;
class CReport;
class CFlightActions;
struct CUiState;

class CPageView {
public:
    virtual ~CPageView() = default;

    virtual CClientInterface& getClient() = 0;
    virtual CFlightSimulatorInterface* getSimulator() = 0;
    virtual CReport& getReport() = 0;
    // The fuel page takes its inputs through the load sheet before painting.
    virtual CFlightActions& getFlightActions() = 0;
    virtual const CUiState& getUiState() const = 0;

    virtual int getPage() const = 0;
    virtual bool isLoadingPending() const = 0;
    // Pilot status of the pilot record: 2 suspended, 3 blocked; below 2 may fly.
    virtual int pilotStatus() const = 0;
    virtual bool isRedrawOnInput() const = 0;
    virtual void setRedrawOnInput(bool on) = 0;
};
