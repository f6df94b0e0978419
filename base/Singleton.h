#pragma once

namespace pellix {

// Base of the process-wide objects: the constructor publishes the object, the destructor clears it.
// Only the friend service creates and deletes them.

template <typename T> class CSingleton {
public:
    static T* GetInstance() { return static_cast<T*>(s_pInstance); }

    CSingleton(const CSingleton&) = delete;
    CSingleton& operator=(const CSingleton&) = delete;

protected:
    CSingleton() { s_pInstance = this; }
    virtual ~CSingleton() { s_pInstance = nullptr; }

private:
    static inline CSingleton* s_pInstance = nullptr;
};

} // namespace pellix
