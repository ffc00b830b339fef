#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <utility>

namespace core {

// The one instance of a secondary window. Asking for it creates it, hidden, when it does
// not exist; unloading runs the window's Form_Unload (when it has one) and destroys it, so
// that the next use starts afresh.
//
// Destruction is deferred to the event loop: a window often unloads itself from one of
// its own handlers and goes on with the handler's remaining steps, and those must not
// run on a deleted object. From the moment of unloading the instance counts as gone:
// the next `get` makes a new one.
template <class Form> class FormInstance {
public:
    using Factory = std::function<Form*()>;

    explicit FormInstance(Factory make)
        : make_(std::move(make))
    {
    }
    FormInstance(const FormInstance&) = delete;
    FormInstance& operator=(const FormInstance&) = delete;

    // Windows still waiting for their deferred destruction go now.
    ~FormInstance()
    {
        unload();
        for (const QPointer<Form>& form : unloading_)
            delete form.data();
    }

    Form& get()
    {
        if (!form_) {
            form_ = make_();
            form_->hide();
        }
        return *form_;
    }

    // The instance if it exists; never creates one.
    Form* loaded() const { return form_.data(); }
    bool isLoaded() const { return !form_.isNull(); }

    void unload()
    {
        if (!form_)
            return;
        Form* form = form_.data();
        form_.clear();
        // A window's own unloading work runs while it is still on the screen.
        if constexpr (requires { form->Form_Unload(); })
            form->Form_Unload();
        form->hide();
        form->deleteLater();
        unloading_.removeAll(nullptr);
        unloading_ << form;
    }

private:
    Factory make_;
    QPointer<Form> form_;
    QList<QPointer<Form>> unloading_;
};

} // namespace core
