#pragma once
// The application object: owns the window set, runs the loop, and shows every
// error that escapes a handler.
#include <QApplication>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <vector>

class TForm;

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    /// Derived once from the executable's file name; never set by the system.
    QString Title() const { return title_; }
    /// The first window created; closing it ends the process.
    TForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }

    /// Creates one component of the window set: the variable is set as soon as
    /// the memory exists (before construction ends) and cleared again if the
    /// constructor throws. The first window created becomes the main form.
    template <class T> void CreateForm(T*& variable);

    /// Shows the main form and handles messages until Terminate; returns the exit code.
    int Run();
    /// Posts the quit request; the run loop ends when it takes it.
    void Terminate();
    /// The default error display.
    void HandleException(const std::exception& error);
    /// Destroys the owned components in reverse creation order.
    void DestroyComponents();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void adopt(std::string name, std::function<void()> destroy, TForm* window);

    QString title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    struct Owned {
        std::string name;
        std::function<void()> destroy;
    };
    std::vector<Owned> owned_;
};

/// The one application object of the process.
extern TApplication* Application;

/// Wraps a handler so that an error it raises goes to the default error display
/// at the point where Qt calls it, instead of unwinding through Qt. A handler
/// that takes no arguments ignores the signal's (such as clicked's bool).
template <class F> auto guarded(F handler) {
    return [handler](auto&&... args) {
        try {
            if constexpr (std::is_invocable_v<F, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        } catch (const std::exception& e) {
            if (Application)
                Application->HandleException(e);
        }
    };
}

template <class T> void TApplication::CreateForm(T*& variable) {
    void* memory = ::operator new(sizeof(T));
    variable = static_cast<T*>(memory);
    T* instance = nullptr;
    try {
        instance = new (memory) T();
    } catch (...) {
        variable = nullptr;
        ::operator delete(memory);
        throw;
    }
    TForm* window = nullptr;
    if constexpr (std::is_base_of_v<TForm, T>)
        window = instance;
    adopt(
        typeid(T).name(),
        [&variable, instance] {
            delete instance;
            variable = nullptr;
        },
        window);
}
