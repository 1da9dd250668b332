#pragma once

// What the operator's actions on a long capture keep the event loop waiting: a
// gigabyte of random bytes in HEX and a week of NMEA sentences in ASCII, filled into
// the log directly. --quick: small captures.
void runLongCaptures(bool quick);
