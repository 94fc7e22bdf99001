#pragma once
// Runs an event handler so that a failure it raises is shown in a message box with its
// message (an unknown failure with an empty text), and the event loop goes on. Returns false
// when the handler failed.

#include <functional>

bool RunHandler(const std::function<void()>& handler);
