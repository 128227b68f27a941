// ReportFields: the report record as the upload names and spells it.
#include "report/ReportFields.h"

#include "core/FixedText.h"
#include "server/ClientInterface.h"

namespace ReportFields {

std::vector<Field> uploaded(const Tervix_Reports& report, std::int32_t aircraftAirline)
{
    Tervix_Reports r = report;
    CClientInterface::fillReportDefaults(r, aircraftAirline);
    std::vector<Field> f;
    auto text = [&](const char* name, const auto& field) { f.emplace_back(name, fieldText(field)); };
    auto number = [&](const char* name, std::int32_t value) { f.emplace_back(name, std::to_string(value)); };
    text("AC_Type", r.AC_Type);
    text("AC_ID", r.AC_ID);
    text("PIC", r.PIC);
    text("Pilot_ID", r.Pilot_ID);
    text("PID", r.PID);
    text("VA", r.VA);
    text("VA_ID", r.VA_ID);
    text("Number", r.Number);
    text("Dep", r.Dep);
    text("Pln_Arr", r.Pln_Arr);
    text("Arr", r.Arr);
    text("Deptime", r.Deptime);
    text("Loc_Deptime", r.Loc_Deptime);
    text("Arrtime", r.Arrtime);
    text("Loc_Arrtime", r.Loc_Arrtime);
    text("Hours", r.Hours);
    text("TS", r.TS);
    text("FlightState", r.FlightState);
    number("VS", r.VS);
    text("Rating", r.Rating);
    text("Ratingreasons", r.Ratingreasons);
    text("Distance", r.Distance);
    text("PAX", r.PAX);
    text("Ticket", r.Ticket);
    number("Crew", r.Crew);
    number("Salary", r.Salary);
    text("Fuelprice", r.Fuelprice);
    text("Fuel_Bought", r.Fuel_Bought);
    text("Fuel_Used", r.Fuel_Used);
    number("Fuel_Dep", r.Fuel_Dep);
    number("Fuel_TakeOff", r.Fuel_TakeOff);
    number("Fuel_Land", r.Fuel_Land);
    number("Profit", r.Profit);
    text("Version", r.Version);
    number("Simrate", r.Simrate);
    text("Multiplier", r.Multiplier);
    number("Bonus", r.Bonus);
    text("Cargo", r.Cargo);
    text("Cargo_kg", r.Cargo_kg);
    text("FlightType", r.FlightType);
    text("Comment64", r.Comment64);
    text("Cheat", r.Cheat);
    number("EmergencyLanding", r.EmergencyLanding);
    text("Interface", r.Interface);
    text("SimVersion", r.SimVersion);
    text("OS", r.OS);
    text("PAX_Economy", r.PAX_Economy);
    text("PAX_Business", r.PAX_Business);
    text("PAX_First", r.PAX_First);
    text("Ticket_Business", r.Ticket_Business);
    text("Ticket_First", r.Ticket_First);
    number("deliver_all", r.deliver_all);
    number("landing_fee", r.landing_fee);
    return f;
}

} // namespace ReportFields
