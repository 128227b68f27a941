// Every service call against a real qvl-service over TLS: the raw request
// text the service received, and the answer read into the right fields.
#include "ServiceSuite.h"

#include "core/FixedText.h"
#include "core/ServerAddress.h"
#include "report/IniParser.h"
#include "server/LegacyRequest.h"
#include "server/LegacyResult.h"
#include "server/RequestCode.h"

#include <cstring>

namespace {

class ServiceCalls : public ServiceSuite {
protected:
    void SetUp() override
    {
        ServiceSuite::SetUp();
        ASSERT_TRUE(store->seedDemo());
        c = newClient(true);
    }
    std::string coded(const std::string& text) { return text + "&code=" + requestCode(text); }
    const char* tok() { return c->getToken().c_str(); }
    std::unique_ptr<CClientInterface> c;
};

TEST_F(ServiceCalls, LoginSendsUserPasswordAndMachineAndKeepsTheToken)
{
    EXPECT_EQ(lastBody("login"), R"({"user":"demo","password":"demo123","volume_id":"0BADF00D"})");
    EXPECT_EQ(c->getToken().size(), 32u);
    EXPECT_STREQ(c->pilot.pilot_id, "1001");
    EXPECT_STREQ(c->pilot.surname, "Demo");
    EXPECT_STREQ(c->pilot.weightunit, "kg");
    EXPECT_EQ(store->received("pilot").back().path, "/api/login/" + c->getToken());
}

TEST_F(ServiceCalls, WrongPasswordGivesNoToken)
{
    auto other = newClient(false);
    other->setToken("stale");
    EXPECT_EQ(other->login("demo", "wrong"), -1);
    EXPECT_EQ(other->getToken(), "");
    EXPECT_EQ(other->getPilotData(), -1);
    EXPECT_STREQ(other->pilot.pilot_id, "");
}

TEST_F(ServiceCalls, VersionFillsTheSlots)
{
    EXPECT_EQ(c->getVersion(), LegacySuccess);
    EXPECT_EQ(lastBody("getversion"), format("function=getversion&intern_ts=%d", c->intern_ts));
    EXPECT_STREQ(c->versions[CClientInterface::VersionClient], "v2.6.1.0");
    EXPECT_STREQ(c->versions[CClientInterface::VersionBeta], "v2.6.2.0");
    EXPECT_STREQ(c->versions[CClientInterface::VersionFsuipcFs2004], "3.999");
    EXPECT_STREQ(c->versions[CClientInterface::VersionFsuipcFsx], "4.974");
    EXPECT_STREQ(c->versions[CClientInterface::VersionSimConnect], "10.0.61259.0");
    EXPECT_EQ(c->getResultLine(), "SUCCESS(0)");
    EXPECT_EQ(CServerAddress::get(), service->url());
}

TEST_F(ServiceCalls, TimestampAndNews)
{
    EXPECT_EQ(c->getTimestamp(), LegacySuccess);
    EXPECT_EQ(lastBody("gettimestamp"), format("function=gettimestamp&intern_ts=%d", c->intern_ts));
    EXPECT_GT(c->flightLog.l_Timestamp, 1700000000);
    EXPECT_EQ(c->getNews(), LegacySuccess);
    EXPECT_EQ(lastBody("getnews"), format("function=getnews&intern_ts=%d", c->intern_ts));
    EXPECT_EQ(c->news.ID, 7);
    EXPECT_STREQ(c->news.Header, "Welcome to Quenvale");
}

TEST_F(ServiceCalls, RouteFillsTheRecordsAndTheAirportList)
{
    ASSERT_EQ(c->getRoute(), LegacySuccess);
    EXPECT_EQ(lastBody("getroute"), format("function=getroute&intern_ts=%d&QVL_TOKEN=%s", c->intern_ts, tok()));
    EXPECT_STREQ(c->route.r_Dep, "EDDF");
    EXPECT_STREQ(c->route.r_Number, "QDA100");
    EXPECT_STREQ(c->flightLog.l_ID, "9001");
    EXPECT_STREQ(c->aircraft.a_Registration, "D-AQVL");
    EXPECT_FLOAT_EQ(c->aircraft.a_StateEng1, 99.5f);
    EXPECT_EQ(c->aircraft.a_Fuel, 5200);
    EXPECT_EQ(c->aircraft.ac_va_id, 1);
    EXPECT_STREQ(c->airline.v_Name, "Quenvale Demo Air");
    EXPECT_EQ(c->types.d_MTOW, 78000);
    EXPECT_NEAR(c->aircraft.routeDistance, 162.0, 3.0);
    // Departure and arrival from the route, Vienna from the booked airports.
    ASSERT_NE(c->findAirport("LOWW"), nullptr);
    EXPECT_DOUBLE_EQ(c->findAirport("LOWW")->landingFee, 450.0);
    EXPECT_EQ(store->received("booked_airports").back().path,
              "/api/pilots/1001/booked_airports?QVL-TOKEN-CLIENT=" + c->getToken());
}

TEST_F(ServiceCalls, FuelPriceOfAKnownAirportNeedsNoRequest)
{
    ASSERT_EQ(c->getRoute(), LegacySuccess);
    const std::size_t before = receivedCount();
    const double price = c->getFuelPrice("EDDM");
    EXPECT_EQ(receivedCount(), before);
    EXPECT_GT(price, 1.0);
    EXPECT_STREQ(c->report.Fuelprice, CLegacyRequest::formatFixed(price).c_str());

    const double other = c->getFuelPrice("LOWI");
    EXPECT_EQ(lastBody("getfuelprice"), format("function=getfuelprice&icao=LOWI&intern_ts=%d", c->intern_ts));
    EXPECT_GT(other, 1.0);
    EXPECT_FLOAT_EQ(c->lastFuelPrice, static_cast<float>(other));
}

TEST_F(ServiceCalls, ClosestAirportAwayFromTheBookingAsksTheService)
{
    const double lon = -122.3, lat = 47.45; // beside Seattle-Tacoma
    EXPECT_EQ(c->getClosestAirport(lon, lat, 500.0), LegacySuccess);
    EXPECT_EQ(lastBody("getclosestairport2"),
              format("function=getclosestairport2&Lon1=%f&Lon2=%f&Lat1=%f&Lat2=%f&intern_ts=%d", lon - 1.5, lon + 1.5,
                     lat - 1.5, lat + 1.5, c->intern_ts));
    EXPECT_STREQ(c->closestAirport, "KSEA");
    EXPECT_LT(c->closestAirportDistance, 5.0);

    const std::size_t before = receivedCount();
    EXPECT_EQ(c->getClosestAirport(-122.31, 47.449, 500.0), LegacySuccess);
    EXPECT_EQ(receivedCount(), before) << "the list already knows KSEA";
}

TEST_F(ServiceCalls, ResetsCarryTheirKeysAndTheCode)
{
    ASSERT_EQ(c->getRoute(), LegacySuccess);
    c->resetFlight();
    EXPECT_EQ(lastBody("resetflight"), coded(format("function=resetflight&intern_ts=%d&flighttype=%s&QVL_TOKEN=%s"
                                                    "&intern_ts=%d",
                                                    c->intern_ts, c->route.r_FlightType, tok(), c->intern_ts)));
    EXPECT_EQ(c->getResultCode(), LegacySuccess);
    c->resetPositionLog();
    EXPECT_EQ(lastBody("resetpositionlog"),
              coded(format("function=resetpositionlog&intern_ts=%d&logid=%s&QVL_TOKEN=%s&intern_ts=%d", c->intern_ts,
                           c->flightLog.l_ID, tok(), c->intern_ts)));
    EXPECT_EQ(c->getResultCode(), LegacySuccess);
}

TEST_F(ServiceCalls, PositionAndEventUploads)
{
    ASSERT_EQ(c->getRoute(), LegacySuccess);
    copyText(c->report.ReportId, "70042");
    c->position = PositionRecord{321, 8.75f, 50.125f, 254, 12000, 364, 410, 4800, 1, 7};
    EXPECT_TRUE(c->writePositionLog());
    EXPECT_EQ(lastBody("writepositionlog"),
              coded(format("function=writepositionlog&intern_ts=%d&QVL_TOKEN=%s&LogId=%d&Timestamp=%d&Longitude=%f"
                           "&Latitude=%f&Heading=%d&Altitude=%d&GroundElevation=%d&GroundSpeed=%d&SimulationRate=%d"
                           "&ReportId=%s&Fuel=%d&PositionId=%d",
                           c->intern_ts, tok(), 9001, 321, 8.75, 50.125, 254, 12000, 364, 410, 1, "70042", 4800, 7)));

    CEventRecord e{};
    e.elapsedSeconds = 95;
    e.airspeed = 142;
    copyText(e.phaseName, "climb");
    copyText(e.text, "Gear up");
    EXPECT_TRUE(c->writeEventLog(e, 3));
    EXPECT_EQ(lastBody("writeeventlog"),
              coded(format("function=writeeventlog&intern_ts=%d&QVL_TOKEN=%s&timestamp=%d&speed=%d&flightstate=%s"
                           "&text=%s&reportid=%s&eventid=%d",
                           c->intern_ts, tok(), 95, 142, "climb", "Gear up", "70042", 3)));
}

TEST_F(ServiceCalls, RefusedPositionAndEventAnswerFalse)
{
    ASSERT_EQ(c->getRoute(), LegacySuccess);
    copyText(c->flightLog.l_ID, "424242"); // not a flight log of this pilot
    EXPECT_FALSE(c->writePositionLog());
    EXPECT_EQ(c->getResultCode(), LegacyNoLog);
    CEventRecord e{};
    copyText(e.text, "Gear up");
    ASSERT_TRUE(service->setFault("wrongword"));
    EXPECT_FALSE(c->writeEventLog(e, 0));
    service->setFault("none");
}

TEST_F(ServiceCalls, PositionWithoutANumericLogIdIsNotSent)
{
    copyText(c->flightLog.l_ID, "9001x");
    const std::size_t before = receivedCount();
    EXPECT_FALSE(c->writePositionLog());
    EXPECT_EQ(receivedCount(), before);
}

TEST_F(ServiceCalls, BackgroundSendsArriveInOrderWithoutBlocking)
{
    const std::size_t before = receivedCount();
    service->setFault("delay", 800);
    copyText(c->flightLog.l_Lon, "8.6");
    copyText(c->flightLog.l_Lat, "50.1");
    copyText(c->flightLog.l_FlightState, "taxi");
    c->aircraft.a_Fuel = 5100;
    EXPECT_TRUE(c->writeLog());
    EXPECT_FALSE(c->waitForBackgroundSends(0)) << "the caller was not held up by the slow service";
    service->setFault("none");
    EXPECT_TRUE(c->updateAwards());
    for (int i = 0; i < 5; ++i) {
        c->aircraft.a_Fuel = 5000 - i;
        c->writeLog();
    }
    ASSERT_TRUE(c->waitForBackgroundSends(20000));
    const auto all = store->received();
    ASSERT_EQ(all.size(), before + 7);
    EXPECT_EQ(all[before].body,
              coded(format("function=writelog&intern_ts=%d&QVL_TOKEN=%s&Lon=%s&Lat=%s&FlightState=%s&system=%s&fuel=%d",
                           c->intern_ts, tok(), "8.6", "50.1", "taxi", "0BADF00D", 5100)));
    EXPECT_EQ(all[before + 1].body,
              coded(format("function=updateawards&intern_ts=%d&QVL_TOKEN=%s", c->intern_ts, tok())));
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(all[before + 2 + i].body.find(format("&fuel=%d&code=", 5000 - i)), std::string::npos) << i;
    EXPECT_EQ(store->uploads("writelog").size(), 6u);
}

TEST_F(ServiceCalls, AlteredCodeAndWrongTokenAreRefused)
{
    const std::string text = format("function=updateawards&intern_ts=%d&QVL_TOKEN=%s", c->intern_ts, tok());
    std::string code = requestCode(text);
    code[0] = code[0] == 'a' ? 'b' : 'a';
    EXPECT_EQ(c->legacyCall(text + "&code=" + code), LegacyWrongCode);
    EXPECT_EQ(c->getResultLine(), "WRONG CODE(7)");

    c->setToken("not-a-token");
    c->resetPositionLog();
    EXPECT_EQ(c->getResultCode(), LegacyNoUser);
    EXPECT_EQ(c->getRoute(), LegacyNoUser);
    EXPECT_STREQ(c->route.r_Dep, "") << "a failed route call leaves the records cleared";
}

class ReportUpload : public ServiceCalls {
protected:
    void SetUp() override
    {
        ServiceCalls::SetUp();
        ASSERT_EQ(c->getRoute(), LegacySuccess);
        Tervix_Reports& r = c->report;
        copyText(r.AC_Type, "A320");
        copyText(r.AC_ID, "501");
        copyText(r.PIC, "Dana Demo");
        copyText(r.Pilot_ID, "1001");
        copyText(r.PID, "QDA1001");
        copyText(r.VA, "Quenvale Demo Air");
        copyText(r.VA_ID, "1");
        copyText(r.Number, "QDA100");
        copyText(r.Dep, "EDDF");
        copyText(r.Pln_Arr, "EDDM");
        copyText(r.Arr, "EDDM");
        copyText(r.Arrtime, "09:41");
        copyText(r.Loc_Arrtime, "10:41");
        copyText(r.Hours, "1.10");
        copyText(r.TS, "1796600000");
        copyText(r.FlightState, "on block");
        r.VS = -212;
        copyText(r.Rating, "9.5");
        copyText(r.Ratingreasons, "hard landing;");
        copyText(r.Distance, "162");
        copyText(r.PAX, "142");
        copyText(r.Ticket, "129");
        r.Crew = 6;
        r.Salary = 1800;
        copyText(r.Fuelprice, "0");
        copyText(r.Fuel_Bought, "3000");
        copyText(r.Fuel_Used, "2400");
        r.Fuel_Dep = 8200;
        r.Fuel_TakeOff = 8050;
        r.Fuel_Land = 5800;
        r.Profit = 15400;
        copyText(r.Version, "v2.6.1.0");
        r.Simrate = 1;
        copyText(r.Multiplier, "2");
        r.Bonus = 50;
        copyText(r.Cargo, "1800");
        copyText(r.Cargo_kg, "1800");
        copyText(r.FlightType, "0");
        copyText(r.Comment64, "TmljZSBmbGlnaHQ=");
        copyText(r.Cheat, "");
        r.EmergencyLanding = 0;
        copyText(r.Interface, "FSUIPC");
        copyText(r.SimVersion, "FSX");
        copyText(r.OS, "Linux");
        copyText(r.PAX_Economy, "130");
        copyText(r.PAX_Business, "12");
        copyText(r.PAX_First, "0");
        copyText(r.Ticket_Business, "349");
        copyText(r.Ticket_First, "0");
        r.deliver_all = 1;
        r.landing_fee = 450;
        c->aircraft.arrivalFuel = 5800;
        c->airline.v_Reputation = 3;
        c->position = PositionRecord{4200, 11.78f, 48.35f, 82, 1490, 1487, 0, 5800, 1, 23};
        CIniParser::getInstance().writeConfigString("report", "Backup", "1");
        CIniParser::getInstance().writeConfigString("report", "Code", "a1b");
    }
    void TearDown() override { CIniParser::destroyInstance(); }

    std::string expectedBody(const char* fuelPrice, int manualUpload = 0)
    {
        const Tervix_Reports& r = c->report;
        const Tervix_Aircrafts& a = c->aircraft;
        return coded(format(
            "function=writereport&intern_ts=%d&QVL_TOKEN=%s&AC_Type=%s&AC_ID=%s&PIC=%s&Pilot_ID=%s&PID=%s&VA=%s"
            "&VA_ID=%s&Number=%s&Dep=%s&Pln_Arr=%s&Arr=%s&Deptime=%s&Loc_Deptime=%s&Arrtime=%s&Loc_Arrtime=%s"
            "&Hours=%s&TS=%s&FlightState=%s&VS=%d&Rating=%s&Ratingreasons=%s&Distance=%s&PAX=%s&Ticket=%s&Crew=%d"
            "&Salary=%d&Fuelprice=%s&Fuel_Bought=%s&Fuel_Used=%s&Fuel_Dep=%d&Fuel_TakeOff=%d&Fuel_Land=%d&Profit=%d"
            "&Version=%s&Simrate=%d&Multiplier=%s&Bonus=%d&Cargo=%s&Cargo_kg=%s&FlightType=%s&Comment64=%s"
            "&Cheat=%s&a_Value=%d&a_Fuel=%d&a_StateEng1=%f&a_StateGear=%f&a_StateHull=%f&v_Reputation=%d"
            "&ProfitMultiplied=%d&EmergencyLanding=%d&LogID=%d&a_FuelMult=%d&Ticket_Factor=%lf&Interface=%s"
            "&SimVersion=%s&OS=%s&ManualUpload=%d&system=%s&PAX_Economy=%s&PAX_Business=%s&PAX_First=%s"
            "&Ticket_Business=%s&Ticket_First=%s&location_lat=%f&location_lon=%f&location_heading=%d"
            "&location_altitude=%d&deliver_all=%d&landing_fee=%d",
            c->intern_ts, tok(), r.AC_Type, r.AC_ID, r.PIC, r.Pilot_ID, r.PID, r.VA, r.VA_ID, r.Number, r.Dep,
            r.Pln_Arr, r.Arr, "0", "0", r.Arrtime, r.Loc_Arrtime, r.Hours, r.TS, r.FlightState, r.VS, r.Rating,
            r.Ratingreasons, r.Distance, r.PAX, r.Ticket, r.Crew, r.Salary, fuelPrice, r.Fuel_Bought, r.Fuel_Used,
            r.Fuel_Dep, r.Fuel_TakeOff, r.Fuel_Land, r.Profit, r.Version, r.Simrate, r.Multiplier, r.Bonus, r.Cargo,
            r.Cargo_kg, r.FlightType, r.Comment64, r.Cheat, a.a_Value, a.arrivalFuel, double(a.a_StateEng1),
            double(a.a_StateGear), double(a.a_StateHull), c->airline.v_Reputation, r.Profit * 2, r.EmergencyLanding,
            9001, int(a.a_FuelMult), c->types.d_Ticket, r.Interface, r.SimVersion, r.OS, manualUpload, "0BADF00D",
            r.PAX_Economy, r.PAX_Business, r.PAX_First, r.Ticket_Business, r.Ticket_First, 48.35f, 11.78f, 82, 1490,
            r.deliver_all, r.landing_fee));
    }
};

// The backup flags are not the call's: the upload changes them together with
// the store, in one save (see BackedUpReportTest).
TEST_F(ReportUpload, SendsEveryFieldAndStoresTheReportIdLeavingTheBackupToTheCaller)
{
    CIniParser::getInstance().writeConfigString("report", "Backup", "1");
    ASSERT_TRUE(c->writeReport(false));
    EXPECT_EQ(lastBody("writereport"), expectedBody("1.25"));
    EXPECT_STREQ(c->report.Fuelprice, "1.25");
    const auto id = store->scalar("SELECT ReportId FROM reports WHERE log_id = 9001");
    ASSERT_TRUE(id);
    EXPECT_EQ(std::string(c->report.ReportId), *id);
    EXPECT_EQ(CIniParser::getInstance().readConfigInt("report", "Backup"), 1);
}

TEST_F(ReportUpload, SecondReportOfOneFlightLogIsRefused)
{
    ASSERT_TRUE(c->writeReport(false));
    const std::size_t stored = store->uploads("writereport").size();
    copyText(c->report.ReportId, "");
    CIniParser::getInstance().writeConfigString("report", "Backup", "1");
    EXPECT_FALSE(c->writeReport(true));
    EXPECT_EQ(c->getResultCode(), LegacyAlreadyUploaded);
    EXPECT_STREQ(c->report.ReportId, "");
    EXPECT_EQ(CIniParser::getInstance().readConfigInt("report", "Backup"), 1);
    EXPECT_EQ(store->uploads("writereport").size(), stored);
}

TEST_F(ReportUpload, AirlineTwoKeepsAZeroFuelPriceAndAManualUploadSaysSo)
{
    c->aircraft.ac_va_id = 2;
    ASSERT_TRUE(c->writeReport(true));
    EXPECT_EQ(lastBody("writereport"), expectedBody("0", 1));
}

} // namespace
