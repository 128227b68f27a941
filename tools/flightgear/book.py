#!/usr/bin/env python3
"""Books the FlightGear check's flight in a seeded qvl-service store: the demo
pilot at BIKF with a Cessna 172P (weights and tanks as FlightGear's c172p
reports them), booked BIKF to BIRK in place of the demo's own booking.

  book.py SERVICE_DATA_DIR
"""
import sqlite3
import sys

db = sqlite3.connect(sys.argv[1] + "/service.db")
db.executescript("""
INSERT OR REPLACE INTO aircraft_types VALUES(31,300000,665,1157,1,1157,0,0,117,110,600,1000,50,1,1.0);
INSERT OR REPLACE INTO aircraft VALUES(502,'31','BIKF','Quenvale Demo Air','1','TF-QVL','C172',
  'Cessna 172P Skyhawk',300000,60,100.0,100.0,100.0,1.0,63.985,-22.6056,0.0,171.0,1);
INSERT OR REPLACE INTO routes VALUES(302,'1','QDA','BIKF','BIRK','1000','1030','DCT','C172','31',
  '502','QDA200','50','0','0','FlightGear check',1,'0','','');
UPDATE flight_logs SET l_Status = 'flown' WHERE l_ID = 9001;
INSERT OR REPLACE INTO flight_logs VALUES(9002,'502',1001,302,'BIKF','BIRK','22','30','booked','1','1','0',
  '0','20','1.0','0','-22.6056','63.985','boarding',0,0,0,'captain',1);
INSERT OR IGNORE INTO booked_airports VALUES(1001,'BIKF'),(1001,'BIRK');
UPDATE pilots SET location = 'BIKF' WHERE pilot_id = 1001;
DELETE FROM reports WHERE log_id = 9002;
""")
db.commit()
