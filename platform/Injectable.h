#pragma once

// One process-wide service that another can stand in for: the built-in Default serves until one is
// installed. The window layer installs the desktop's own at start; a test stands a fake in for as long as
// an Override lives. What is installed is not owned.
template <class T, class Default = T> class Injectable {
public:
    static T& instance() { return s_installed ? *s_installed : builtIn(); }
    // Installs service for the rest of the run; nullptr brings the built-in one back.
    static void install(T* service) { s_installed = service; }

    // Stands service in for as long as it lives; what was installed before comes back after.
    class Override {
    public:
        explicit Override(T* service) : m_previous(s_installed) { s_installed = service; }
        ~Override() { s_installed = m_previous; }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        T* m_previous;
    };

private:
    static T& builtIn() {
        static Default service;
        return service;
    }
    static inline T* s_installed = nullptr;
};
