#pragma once

// A small observer: receivers subscribe to an observer, which calls them in
// the order they subscribed. Neither side owns the other. UI thread only.

#include <map>

template <typename ReturnT, typename ParamT>
class ReceiverImplBase;

template <typename ReturnT, typename ParamT>
class ObserverImplBase {
public:
    virtual void AddReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual void RemoveReceiver(ReceiverImplBase<ReturnT, ParamT>* receiver) = 0;
    virtual ReturnT Broadcast(ParamT param) = 0;
    virtual ReturnT BroadcastQuery(ParamT param) = 0;
    virtual ~ObserverImplBase() = default;
};

template <typename ReturnT, typename ParamT>
class ReceiverImplBase {
public:
    virtual void AddObserver(ObserverImplBase<ReturnT, ParamT>* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual ReturnT Receive(ParamT param) = 0;
    virtual ReturnT ReceiveQuery(ParamT param, ObserverImplBase<ReturnT, ParamT>* observer) = 0;
    virtual ~ReceiverImplBase() = default;
};

template <typename ReturnT, typename ParamT>
class ObserverImpl : public ObserverImplBase<ReturnT, ParamT> {
public:
    using Receiver = ReceiverImplBase<ReturnT, ParamT>;

    // A null receiver is ignored; else it is kept under the next key and
    // told about this observer.
    void AddReceiver(Receiver* receiver) override {
        if (receiver == nullptr) return;
        m_receivers[m_count] = receiver;
        receiver->AddObserver(this);
        ++m_count;
    }

    // Forgets the receiver's first subscription (in key order).
    void RemoveReceiver(Receiver* receiver) override {
        if (receiver == nullptr) return;
        for (auto it = m_receivers.begin(); it != m_receivers.end(); ++it) {
            if (it->second == receiver) {
                m_receivers.erase(it);
                return;
            }
        }
    }

    // Every receiver in subscription order gets its own copy of the parameter.
    ReturnT Broadcast(ParamT param) override {
        for (auto& entry : m_receivers) entry.second->Receive(param);
        return ReturnT();
    }

    ReturnT BroadcastQuery(ParamT param) override {
        for (auto& entry : m_receivers) entry.second->ReceiveQuery(param, this);
        return ReturnT();
    }

    void AddReceiverOf(Receiver* receiver) { AddReceiver(receiver); }
    ReturnT BroadcastCopy(const ParamT& param) { return Broadcast(param); }

private:
    std::map<int, Receiver*> m_receivers;
    int m_count = 0;
};

template <typename ReturnT, typename ParamT>
class ReceiverImpl : public ReceiverImplBase<ReturnT, ParamT> {
public:
    using Observer = ObserverImplBase<ReturnT, ParamT>;

    void AddObserver(Observer* observer) override { m_observers[m_count++] = observer; }

    // Leaves every observer it was added to (its own list stays).
    void RemoveObserver() override {
        for (auto& entry : m_observers) entry.second->RemoveReceiver(this);
    }

    ReturnT Receive(ParamT) override { return ReturnT(); }
    ReturnT ReceiveQuery(ParamT, Observer*) override { return ReturnT(); }

private:
    std::map<int, Observer*> m_observers;
    int m_count = 0;
};
