#!/usr/bin/env python3
"""Books a flight of the FlightGear check in a seeded qvl-service store: the
demo pilot and a Cessna 172P (weights and tanks as FlightGear's c172p reports
them) at the departure, booked to the arrival in place of what was booked.

  book.py SERVICE_DATA_DIR LOG_ID ROUTE_ID DEP ARR LAT LON

The first flight is BIKF to BIRK (log 9002), the second BIRK to BIKF (log
9003), from where the first one stopped.
"""
import sqlite3
import sys

data, log, route, dep, arr, lat, lon = sys.argv[1:8]
log, route, lat, lon = int(log), int(route), float(lat), float(lon)
db = sqlite3.connect(data + "/service.db")
db.execute("INSERT OR REPLACE INTO aircraft_types VALUES(31,300000,665,1157,1,1157,0,0,117,110,600,1000,50,1,1.0)")
db.execute("""INSERT INTO aircraft VALUES(502,'31',?,'Quenvale Demo Air','1','TF-QVL','C172',
  'Cessna 172P Skyhawk',300000,60,100.0,100.0,100.0,1.0,?,?,0.0,171.0,1)
  ON CONFLICT(a_ID) DO UPDATE SET a_Location = excluded.a_Location, location_lat = excluded.location_lat,
  location_lon = excluded.location_lon""", (dep, lat, lon))
db.execute("""INSERT OR REPLACE INTO routes VALUES(?,'1','QDA',?,?,'1000','1030','DCT','C172','31',
  '502',?,'50','0','0','FlightGear check',1,'0','','')""", (route, dep, arr, f"QDA{route - 100}"))
db.execute("UPDATE flight_logs SET l_Status = 'flown' WHERE l_Status = 'booked'")
db.execute("""INSERT OR REPLACE INTO flight_logs VALUES(?,'502',1001,?,?,?,'22','30','booked','1','1','0',
  '0','20','1.0','0',?,?,'boarding',0,0,0,'captain',1)""", (log, route, dep, arr, str(lon), str(lat)))
db.executemany("INSERT OR IGNORE INTO booked_airports VALUES(1001, ?)", [(dep,), (arr,)])
db.execute("UPDATE pilots SET location = ? WHERE pilot_id = 1001", (dep,))
db.execute("DELETE FROM reports WHERE log_id = ?", (log,))
db.commit()
