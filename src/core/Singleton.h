// One process-wide object of a class, created on first use.
#pragma once

template <class T>
class CSingleton {
public:
    static T& getInstance()
    {
        if (instance_ == nullptr)
            instance_ = new T();
        return *instance_;
    }
    static bool hasInstance() { return instance_ != nullptr; }
    // Ends the object; the next getInstance() builds a new one (tests use it).
    static void destroyInstance() { delete instance_; }

    virtual ~CSingleton() { instance_ = nullptr; }

protected:
    CSingleton() = default;
    CSingleton(const CSingleton&) = delete;
    CSingleton& operator=(const CSingleton&) = delete;

private:
    static inline T* instance_ = nullptr;
};
