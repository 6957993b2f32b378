// The dialog layer: dialogs built from named resources, their components found
// by dialog and component name, and the listeners attached to them.
#pragma once

#include "host/xobject.h"

class uifcDialog;
class uifcPushButton;
class uifcOptionMenu;
using uifcDialog_ptr = xrcptr<uifcDialog>;
using uifcPushButton_ptr = xrcptr<uifcPushButton>;
using uifcOptionMenu_ptr = xrcptr<uifcOptionMenu>;

namespace uifcCore {
// Activating a Modeless dialog shows it and returns at once (a polling loop
// re-activates it); under every other style, ordinal 4 included, activation
// waits until the dialog is exited.
enum class DialogStyle { Modal = 0, Modeless = 1, ToolbarPopup = 2, Popup = 3, Working = 4 };
}  // namespace uifcCore

class uifcColor : public virtual xobject {
 public:
  uifcColor(xint red, xint green, xint blue) : red_(red), green_(green), blue_(blue) {}
  static xrcptr<uifcColor> Create(xint red, xint green, xint blue) {
    return new uifcColor(red, green, blue);
  }
  xint GetRed() const { return red_; }
  xint GetGreen() const { return green_; }
  xint GetBlue() const { return blue_; }

 private:
  xint red_, green_, blue_;
};
using uifcColor_ptr = xrcptr<uifcColor>;

// Listeners are owned by the add-in; the host only keeps a pointer until the dialog is destroyed.
class uifcDialogListener : public virtual xobject {
 public:
  virtual void OnClose(uifcDialog_ptr handle) = 0;
  virtual void OnDisplay(uifcDialog_ptr handle) = 0;
};
class uifcDefaultDialogListener : public uifcDialogListener {
 public:
  void OnClose(uifcDialog_ptr) override {}
  void OnDisplay(uifcDialog_ptr) override {}
};

class uifcPushButtonListener : public virtual xobject {
 public:
  virtual void OnActivate(uifcPushButton_ptr handle) = 0;
};
class uifcDefaultPushButtonListener : public uifcPushButtonListener {
 public:
  void OnActivate(uifcPushButton_ptr) override {}
};

class uifcOptionMenuListener : public virtual xobject {
 public:
  virtual void OnItemSelect(uifcOptionMenu_ptr handle) = 0;
};
class uifcDefaultOptionMenuListener : public uifcOptionMenuListener {
 public:
  void OnItemSelect(uifcOptionMenu_ptr) override {}
};

class uifcComponent : public virtual xobject {
 public:
  virtual xstring GetDialog() = 0;     // name of the owning dialog
  virtual xstring GetComponent() = 0;  // name of this component
  virtual void SetVisible(xbool visible) = 0;
  virtual xbool GetVisible() = 0;
};

class uifcDialog : public virtual uifcComponent {
 public:
  virtual void AddActionListener(uifcDialogListener* listener) = 0;
  virtual void SetDialogStyle(uifcCore::DialogStyle style) = 0;
};

class uifcLabel : public virtual uifcComponent {
 public:
  virtual void SetText(xrstring text) = 0;
  virtual void SetImage(xrstring imageFile) = 0;
};
using uifcLabel_ptr = xrcptr<uifcLabel>;

class uifcPushButton : public virtual uifcComponent {
 public:
  virtual void SetText(xrstring text) = 0;
  virtual void SetEnabled(xbool enabled) = 0;
  virtual void SetBackgroundColor(const uifcColor_ptr& color) = 0;
  virtual void AddActionListener(uifcPushButtonListener* listener) = 0;
};

class uifcLayout : public virtual uifcComponent {
 public:
  virtual void SetDoesReserveSpace(xbool reserve) = 0;
};
using uifcLayout_ptr = xrcptr<uifcLayout>;

class uifcOptionMenu : public virtual uifcComponent {
 public:
  virtual void SetItemNameArray(const xstringsequence_ptr& names) = 0;
  virtual void SetItemLabelArray(const xstringsequence_ptr& labels) = 0;
  virtual xstringsequence_ptr GetSelectedItemNameArray() = 0;
  virtual void AddActionListener(uifcOptionMenuListener* listener) = 0;
};

// Dialog lifetime. Failures arrive as toolkit exceptions.
void uifcCreateDialog(xrstring dialogName, xrstring resourceName);
// Runs the dialog until it is exited and returns the exit status.
xint uifcActivateDialog(xrstring dialogName);
void uifcExitDialog(xrstring dialogName, xint status);
void uifcDestroyDialog(xrstring dialogName);

// Components by dialog and component name; a missing one, or one of another kind,
// throws pfcXToolkitNotFound.
uifcDialog_ptr uifcDialogFind(xrstring dialogName, xrstring componentName);
uifcLabel_ptr uifcLabelFind(xrstring dialogName, xrstring componentName);
uifcPushButton_ptr uifcPushButtonFind(xrstring dialogName, xrstring componentName);
uifcLayout_ptr uifcLayoutFind(xrstring dialogName, xrstring componentName);
uifcOptionMenu_ptr uifcOptionMenuFind(xrstring dialogName, xrstring componentName);
