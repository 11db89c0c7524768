// Timing of the run: bytes spaced as a serial line spaces them, pauses, and
// the stop request of SIGINT and SIGTERM that both give way to.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

// Lets SIGINT and SIGTERM request a stop instead of ending the process, so
// that destructors still remove the link. False with error set on failure.
bool RequestStopOnSignals(std::string& error);
bool StopRequested();

// Sleeps for duration or until a stop is requested, whichever comes first;
// false when stopped.
bool SleepUnlessStopped(std::chrono::duration<double> duration);

enum class ESendResult { kSent, kStopped, kFailed };

// Writes every byte to the non-blocking fd, each no earlier than an 8N1 line
// at baud would deliver it (10 bit times a byte; baud 0 sends at once). Waits
// for room while no one reads, giving way to a stop request. error is set on
// kFailed.
ESendResult SendPaced(int fd, std::string_view bytes, std::int64_t baud, std::string& error);
