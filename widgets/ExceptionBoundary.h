#pragma once
// The one place where a failure stops: every slot and event handler of the program runs inside
// it, so an exception never escapes into the toolkit's event loop. A failure of the system's
// exception type is shown in a message box with its message, any other failure with an empty
// text, and the event loop goes on.

#include <QObject>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class QWidget;

// Shows ERROR in a message box over PARENT (none: no parent).
void ShowFailure(QWidget* parent, const std::exception_ptr& error);

// Runs HANDLER inside the boundary, the message box over the active window. False when the
// handler failed.
bool RunHandler(const std::function<void()>& handler);
// The same with the message box over PARENT (null: a box of its own, as at start-up).
bool RunHandler(QWidget* parent, const std::function<void()>& handler);

// Connects SIGNAL of SENDER to HANDLER inside the boundary, for as long as CONTEXT lives.
// HANDLER takes the signal's arguments or none.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection ConnectHandler(const Sender* sender, Signal signal, const QObject* context,
                                       Handler handler)
{
    return QObject::connect(sender, signal, context, [handler = std::move(handler)](auto&&... args) {
        RunHandler([&] {
            if constexpr (std::is_invocable_v<Handler&, decltype(args)...>)
                std::invoke(handler, std::forward<decltype(args)>(args)...);
            else
                std::invoke(handler);
        });
    });
}

// The same for a handler that is a method of RECEIVER, taking no arguments.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection ConnectHandler(const Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*method)())
{
    return ConnectHandler(sender, signal, receiver, [receiver, method] { (receiver->*method)(); });
}
