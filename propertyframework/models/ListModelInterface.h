#pragma once

#include "propertyframework/Signal.h"

#include <boost/signals2/connection.hpp>

#include <memory>
#include <string>
#include <string_view>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// An ordered, observable list of values, each with a display text. Rows count from 0.
//
// Every connect function calls the matching `...Connected()` hook after the new connection, so
// callers never call the hooks themselves.
template <typename T> class ListModelInterface {
public:
    using ValueType = T;
    // The whole list may have changed.
    using DataChangedSignal = Signal<void()>;
    using ItemChangedSignal = Signal<void(int row)>;
    // Both carry the first and the last row of one contiguous batch; the model has already
    // changed when they fire.
    using ItemsInsertedSignal = Signal<void(int first, int last)>;
    using ItemsRemovedSignal = Signal<void(int first, int last)>;

    ListModelInterface() = default;
    ListModelInterface(const ListModelInterface&) = delete;
    ListModelInterface& operator=(const ListModelInterface&) = delete;

    virtual int size() const = 0;
    virtual T get(int row) const = 0;
    virtual std::string getStr(int row) const = 0;
    // The display text of a row, without a copy where the model keeps it as shown; otherwise
    // getStr's text, kept in `buffer`. The view is valid until the model changes or the buffer
    // is used again. Views that read many rows often use this rather than getStr.
    virtual std::string_view getStrView(int row, std::string& buffer) const {
        buffer = getStr(row);
        return buffer;
    }
    virtual std::string getStrForEdit(int row) const = 0;
    virtual void set(T value, int row) = 0;
    // Takes a text the user edited; false when the row does not accept it.
    virtual bool setEditedItem(const std::string& text, int row) const = 0;
    virtual bool isEditable() const = 0;
    virtual bool isHeader(int row) const = 0;
    // Row of the first entry holding the value, or -1.
    virtual int indexOf(const T& value) const = 0;

    virtual void signalDataChangedConnected() const {}
    virtual void signalItemChangedConnected() const {}
    virtual void signalItemsInsertedConnected() const {}
    virtual void signalItemsRemovedConnected() const {}

    virtual ~ListModelInterface() = default;

    boost::signals2::connection
    connectToDataChangedSignal(const typename DataChangedSignal::slot_type& slot) const {
        auto connection = m_signalDataChanged.connect(slot);
        signalDataChangedConnected();
        return connection;
    }

    boost::signals2::connection
    connectToItemChangedSignal(const typename ItemChangedSignal::slot_type& slot) const {
        auto connection = m_signalItemChanged.connect(slot);
        signalItemChangedConnected();
        return connection;
    }

    boost::signals2::connection
    connectToItemsInsertedSignal(const typename ItemsInsertedSignal::slot_type& slot) const {
        auto connection = m_signalItemsInserted.connect(slot);
        signalItemsInsertedConnected();
        return connection;
    }

    boost::signals2::connection
    connectToItemsRemovedSignal(const typename ItemsRemovedSignal::slot_type& slot) const {
        auto connection = m_signalItemsRemoved.connect(slot);
        signalItemsRemovedConnected();
        return connection;
    }

protected:
    void emitDataChanged() const { m_signalDataChanged(); }
    void emitItemChanged(int row) const { m_signalItemChanged(row); }
    void emitItemsInserted(int first, int last) const { m_signalItemsInserted(first, last); }
    void emitItemsRemoved(int first, int last) const { m_signalItemsRemoved(first, last); }

private:
    mutable DataChangedSignal m_signalDataChanged;
    mutable ItemChangedSignal m_signalItemChanged;
    mutable ItemsInsertedSignal m_signalItemsInserted;
    mutable ItemsRemovedSignal m_signalItemsRemoved;
};

template <typename T> using ListModelPtr = std::shared_ptr<ListModelInterface<T>>;
template <typename T> using ConstListModelPtr = std::shared_ptr<const ListModelInterface<T>>;

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
