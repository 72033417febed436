// Runs the login page's script (read from stdin) against a minimal stand-in of
// the page's elements, submits the form with the account given as argument,
// types into the account field afterwards, and prints what happened as JSON.
'use strict';
const fs = require('fs');
const vm = require('vm');

function element() {
  return {
    value: '',
    textContent: '',
    focused: false,
    listeners: {},
    addEventListener(type, listener) { (this.listeners[type] = this.listeners[type] || []).push(listener); },
    focus() { this.focused = true; },
    fire(type, event) { (this.listeners[type] || []).forEach((listener) => listener(event)); },
  };
}

const elements = { login: element(), account: element(), password: element(), hint: element() };
const page = { document: { getElementById: (id) => elements[id] || null } };
vm.runInNewContext(fs.readFileSync(0, 'utf8'), page);

elements.account.value = process.argv[2];
let navigates = true;
elements.login.fire('submit', { preventDefault() { navigates = false; } });
const result = {
  navigates,
  account: elements.account.value,
  hint: elements.hint.textContent,
  accountFocused: elements.account.focused,
};
elements.account.fire('input', {});
result.hintAfterTyping = elements.hint.textContent;
process.stdout.write(JSON.stringify(result));
