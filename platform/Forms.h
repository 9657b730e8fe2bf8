#pragma once
// The registry of named forms. Each subsystem registers its forms' factories
// by name in one function that the program's assembly calls; a name is taken
// once, so that no order of calls decides which of two forms runs. Get
// creates and loads the one instance on first use, CreateInstance makes an
// extra one (several message boxes at once). A lower layer reaches a higher
// layer's form only by name, through this registry.

#include "platform/Form.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace plat::Forms {

using Factory = std::function<Form*()>;

// Registers the factory of a form name. Raises run-time error 457, naming
// the form, when the name is already taken.
void registerForm(const QString& name, Factory factory);
bool isRegistered(const QString& name);
// The registered names, sorted.
QStringList registeredNames();
// Forgets every registration (loaded forms stay loaded): each test starts
// from an empty registry.
void clearRegistrations();

// The loaded instance of the form, created and loaded on first use. Raises
// run-time error 429 for a name that no factory is registered for.
Form* Get(const QString& name);
// The loaded instance, or nullptr when the form is not loaded.
Form* Find(const QString& name);
// A new, loaded instance of the form, besides any that exist.
Form* CreateInstance(const QString& name);
// Adds a form built by the caller (loads it and lists it).
Form* Adopt(Form* form);

// Unloads the form: query-unload (refusal answers false), the modal forms
// and dialogs over it closed as cancelled, unload, hide, leave the list and
// delete later, once no nested loop runs (NestedLoop.h). Safe from inside the
// form's own handlers and while it or a form over it runs a modal loop.
bool Unload(Form* form, UnloadMode mode = vbFormCode);
// Unloads every screen (see Screens) except those named: the notices stay.
void UnloadAllExcept(const QStringList& keep, UnloadMode mode = vbFormCode);
// Unloads every form, the notices too: the end of the program.
void UnloadAll(UnloadMode mode = vbFormCode);

// The loaded forms, in load order.
std::vector<Form*> All();
// The loaded forms but the notices (Form::IsNotice), in load order: what a
// clearing of the screens unloads and counts.
std::vector<Form*> Screens();
// How many loaded forms carry this name.
int Count(const QString& name);
// Whether any loaded screen is visible (a notice alone shows no screen).
bool AnyVisible();

} // namespace plat::Forms

