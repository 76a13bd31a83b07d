// The base of every object of the 3D view's retained-mode layer: a reference count, and the
// smart pointer that holds one reference. An object is made with one reference, owned by whoever
// asked for it; frames hold references to their children, visuals and lights, shadows to the
// visual and the light they follow. The last Release deletes the object.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CRMObject {
  public:
    CRMObject(const CRMObject&) = delete;
    CRMObject& operator=(const CRMObject&) = delete;

    unsigned AddRef() { return ++m_nRefs; }
    unsigned Release() {
        const unsigned n = --m_nRefs;
        if (n == 0) {
            delete this;
        }
        return n;
    }
    unsigned RefCount() const { return m_nRefs; }

  protected:
    CRMObject() = default;
    virtual ~CRMObject() = default;

  private:
    unsigned m_nRefs = 1;
};

// One reference to a retained-mode object, or none.
template <class T>
class RMPtr {
  public:
    RMPtr() = default;
    // Shares `p`: takes a reference of its own.
    explicit RMPtr(T* p) : m_p(p) {
        if (m_p != nullptr) {
            m_p->AddRef();
        }
    }
    // Takes over the reference a maker handed out.
    static RMPtr Adopt(T* p) {
        RMPtr ptr;
        ptr.m_p = p;
        return ptr;
    }
    RMPtr(const RMPtr& other) : RMPtr(other.m_p) {}
    RMPtr(RMPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    template <class U>
    RMPtr(RMPtr<U>&& other) noexcept : m_p(other.Detach()) {}
    RMPtr& operator=(RMPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~RMPtr() { Release(); }

    // Lets go of the reference; the pointer is null afterwards.
    void Release() {
        if (T* p = std::exchange(m_p, nullptr)) {
            p->Release();
        }
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(m_p, nullptr); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const T* p) const { return m_p == p; }

  private:
    T* m_p = nullptr;
};

// The calls the layer received, in their order and with their values, one line each
// ("SetPosition 0 8 -10"), kept only while recording is on. Tests read it to see what the view
// asked of the layer.
class CRMCallLog {
  public:
    bool m_bRecording = false;
    std::vector<std::string> m_lines;

    template <class... Args>
    void Call(const char* method, Args... args) {
        if (!m_bRecording) {
            return;
        }
        std::string line = method;
        (Append(line, args), ...);
        m_lines.push_back(std::move(line));
    }

  private:
    static void Append(std::string& line, double value) {
        char text[32];
        std::snprintf(text, sizeof text, " %g", value);
        line += text;
    }
    static void Append(std::string& line, const char* text) {
        line += ' ';
        line += text;
    }
};

using RMLogPtr = std::shared_ptr<CRMCallLog>;
