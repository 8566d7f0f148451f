'use strict';
// The dialog's window as elements of the page. The program describes the template (every
// control's kind, caption, place in pixels of the page's font, name for screen readers) and
// each control's state; this file only turns them into elements and turns the user's actions
// into the program's notifications, one per action. Values the program sets never notify.

/* exported DialogView */
class DialogView {
  // `host`: the element the window goes in; `calls`: the program's entry points
  // (clicked, edited, selected, focus, scroll), each taking a control id.
  constructor(host, calls) {
    this.host = host;
    this.calls = calls;
    this.controls = new Map();  // id -> {item, element, ...parts}
    this.window = null;
  }

  show(description, shown) {
    const win = document.createElement('div');
    win.className = 'dialog';
    win.setAttribute('role', 'dialog');
    win.setAttribute('aria-label', description.caption);
    const title = document.createElement('div');
    title.className = 'caption';
    title.textContent = description.caption;
    const client = document.createElement('div');
    client.className = 'client';
    client.style.width = description.width + 'px';
    client.style.height = description.height + 'px';
    for (const item of description.controls) {
      const control = this.create(item);
      place(control.element, item);
      if (item.hidden) control.element.hidden = true;
      control.element.dataset.id = String(item.id);
      client.appendChild(control.element);
      if (item.id !== -1) this.controls.set(item.id, control);
    }
    for (const pair of description.spinners) this.connectSpinnerKeys(pair.bar, pair.edit);
    client.addEventListener('keydown', (event) => this.defaultButton(event, description));
    win.append(title, client);
    win.hidden = !shown;
    this.host.appendChild(win);
    this.window = win;
    // The first control that takes the focus has it, as a dialog opens.
    const first = description.controls.find((c) => c.focus);
    if (shown && first !== undefined) this.focusTarget(this.controls.get(first.id)).focus();
    return true;
  }

  // The element that takes the keyboard for a control.
  focusTarget(control) {
    return control.field ?? control.box ?? control.element;
  }

  close() {
    if (this.window !== null) this.window.remove();
    this.window = null;
    this.controls.clear();
  }

  // Enter anywhere but on a button or an open list presses the default button.
  defaultButton(event, description) {
    if (event.key !== 'Enter' || event.target.tagName === 'BUTTON' || event.defaultPrevented) return;
    const item = description.controls.find((c) => c.defaultButton && !c.hidden);
    if (item === undefined) return;
    event.preventDefault();
    this.calls.clicked(item.id);
  }

  create(item) {
    switch (item.kind) {
      case 'push_button': return this.button(item);
      case 'edit': return this.edit(item);
      case 'scroll_bar': return this.bar(item);
      case 'combo_box': return this.combo(item);
      case 'check_box': return this.checkBox(item);
      case 'picture': return picture(item);
      case 'frame': return frame(item);
      default: return staticText(item);
    }
  }

  button(item) {
    const b = document.createElement('button');
    b.type = 'button';
    b.className = 'button' + (item.defaultButton ? ' default' : '');
    b.textContent = item.caption;
    describe(b, item);
    b.addEventListener('click', () => this.calls.clicked(item.id));
    return {item, element: b};
  }

  edit(item) {
    const e = document.createElement('input');
    e.type = 'text';
    e.className = 'edit';
    e.spellcheck = false;
    e.autocomplete = 'off';
    e.readOnly = item.readOnly;
    describe(e, item);
    e.addEventListener('input', () => {
      e.dataset.value = e.value;
      this.calls.edited(item.id, e.value);
    });
    return {item, element: e};
  }

  // A spinner: an arrow up and an arrow down, with a track and thumb between them when the
  // bar is tall enough for one. It takes the focus only when clicked, as a scroll bar does.
  bar(item) {
    const bar = document.createElement('div');
    bar.className = 'bar';
    bar.tabIndex = -1;
    bar.setAttribute('role', 'scrollbar');
    bar.setAttribute('aria-orientation', 'vertical');
    describe(bar, item);
    const up = arrow('up');
    const down = arrow('down');
    const track = document.createElement('div');
    track.className = 'track';
    const thumb = document.createElement('div');
    thumb.className = 'thumb';
    track.appendChild(thumb);
    bar.append(up, track, down);
    const act = (action, event) => {
      event.preventDefault();
      bar.focus({preventScroll: true});
      this.calls.scroll(item.id, action, 0);
    };
    up.addEventListener('mousedown', (event) => act('up', event));
    down.addEventListener('mousedown', (event) => act('down', event));
    track.addEventListener('mousedown', (event) => {
      if (event.target === thumb) return;
      act(event.offsetY < thumb.offsetTop ? 'pageup' : 'pagedown', event);
    });
    const keys = {ArrowUp: 'up', ArrowDown: 'down', PageUp: 'pageup', PageDown: 'pagedown',
      Home: 'top', End: 'bottom'};
    bar.addEventListener('keydown', (event) => {
      if (keys[event.key] !== undefined) act(keys[event.key], event);
    });
    bar.addEventListener('wheel', (event) => act(event.deltaY < 0 ? 'up' : 'down', event));
    // The thumb let go at a position: a drag on the track, or (from a session player) the
    // position itself, as a scroll bar's thumb message carries it.
    bar.addEventListener('vantrel-thumb', (event) => {
      this.calls.scroll(item.id, 'thumb', event.detail.position);
    });
    const control = {item, element: bar, track, thumb, state: null};
    this.dragThumb(control);
    return control;
  }

  dragThumb(control) {
    const {track, thumb} = control;
    thumb.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      thumb.setPointerCapture(event.pointerId);
      const startY = event.clientY;
      const startTop = thumb.offsetTop;
      const at = (e) => {
        const s = control.state;
        const room = track.clientHeight - thumb.offsetHeight;
        if (s === null || room <= 0) return null;
        const share = Math.min(Math.max((startTop + e.clientY - startY) / room, 0), 1);
        return Math.round(s.min + share * (s.max - s.min));
      };
      const move = (e) => {
        const p = at(e);
        if (p !== null) this.calls.scroll(control.item.id, 'thumb', p);
      };
      const end = () => {
        thumb.removeEventListener('pointermove', move);
        thumb.removeEventListener('pointerup', end);
        thumb.removeEventListener('pointercancel', end);
      };
      thumb.addEventListener('pointermove', move);
      thumb.addEventListener('pointerup', end);
      thumb.addEventListener('pointercancel', end);
    });
  }

  // Up, Down, Page Up and Page Down in a spinner's edit box act on its spinner.
  connectSpinnerKeys(barId, editId) {
    const edit = this.controls.get(editId);
    if (edit === undefined) return;
    const keys = {ArrowUp: 'up', ArrowDown: 'down', PageUp: 'pageup', PageDown: 'pagedown'};
    edit.element.addEventListener('keydown', (event) => {
      if (keys[event.key] === undefined) return;
      event.preventDefault();
      this.calls.scroll(barId, keys[event.key], 0);
    });
  }

  // An editable list: a text field and a button that drops the list of entries down. A
  // choice is the list's notification; typing is the field's.
  combo(item) {
    const box = document.createElement('div');
    box.className = 'combo';
    const field = document.createElement('input');
    field.type = 'text';
    field.className = 'edit';
    field.spellcheck = false;
    field.autocomplete = 'off';
    field.setAttribute('role', 'combobox');
    field.setAttribute('aria-expanded', 'false');
    field.setAttribute('aria-autocomplete', 'none');
    describe(field, item);
    const drop = document.createElement('button');
    drop.type = 'button';
    drop.className = 'drop';
    drop.tabIndex = -1;
    drop.setAttribute('aria-label', 'show the list');
    const list = document.createElement('ul');
    list.className = 'list';
    list.setAttribute('role', 'listbox');
    list.id = 'list-' + item.id;
    list.hidden = true;
    list.style.maxHeight = (item.rows * item.height) + 'px';
    field.setAttribute('aria-controls', list.id);
    box.append(field, drop, list);
    const control = {item, element: box, field, list, entries: [], active: -1};
    field.addEventListener('input', () => {
      box.dataset.value = field.value;
      this.calls.edited(item.id, field.value);
    });
    field.addEventListener('focus', () => this.calls.focus(item.id, 1));
    field.addEventListener('blur', () => {
      this.openList(control, false);
      this.calls.focus(item.id, 0);
    });
    // The list's button and entries keep the focus in the field.
    drop.addEventListener('mousedown', (event) => {
      event.preventDefault();
      field.focus();
      this.openList(control, list.hidden);
    });
    list.addEventListener('mousedown', (event) => event.preventDefault());
    list.addEventListener('click', (event) => {
      const entry = event.target.closest('li');
      if (entry !== null) this.choose(control, Number(entry.dataset.entry));
    });
    field.addEventListener('keydown', (event) => this.listKeys(control, event));
    return control;
  }

  listKeys(control, event) {
    const open = !control.list.hidden;
    if ((event.key === 'ArrowDown' && event.altKey) || event.key === 'F4') {
      event.preventDefault();
      this.openList(control, !open);
    } else if (open && (event.key === 'ArrowDown' || event.key === 'ArrowUp')) {
      event.preventDefault();
      const step = event.key === 'ArrowDown' ? 1 : -1;
      const last = control.entries.length - 1;
      this.highlight(control, Math.min(Math.max(control.active + step, 0), last));
    } else if (open && event.key === 'Enter') {
      event.preventDefault();
      if (control.active >= 0) this.choose(control, control.active + 1);
      this.openList(control, false);
    } else if (open && event.key === 'Escape') {
      event.preventDefault();
      this.openList(control, false);
    }
  }

  openList(control, open) {
    control.list.hidden = !open;
    control.field.setAttribute('aria-expanded', open ? 'true' : 'false');
    if (open) {
      this.highlight(control, control.entries.indexOf(control.field.value));
    }
  }

  highlight(control, index) {
    control.active = index;
    control.list.querySelectorAll('li').forEach((li, i) => {
      li.setAttribute('aria-selected', i === index ? 'true' : 'false');
      if (i === index) {
        li.scrollIntoView({block: 'nearest'});
        control.field.setAttribute('aria-activedescendant', li.id);
      }
    });
  }

  choose(control, entry) {
    this.openList(control, false);
    control.field.value = control.entries[entry - 1];
    control.element.dataset.value = control.field.value;
    this.calls.selected(control.item.id, entry);
  }

  checkBox(item) {
    const label = document.createElement('label');
    label.className = 'check';
    const box = document.createElement('input');
    box.type = 'checkbox';
    describe(box, item);
    const text = document.createElement('span');
    text.textContent = item.caption;
    label.append(box, text);
    box.addEventListener('click', () => this.calls.clicked(item.id));
    return {item, element: label, box, text};
  }

  // Shows the state the program gave the control; no notification follows.
  refresh(state) {
    const control = this.controls.get(state.id);
    if (control === undefined) return;
    const el = control.element;
    switch (control.item.kind) {
      case 'edit':
        if (el.value !== state.text) {
          el.value = state.text;
          el.setSelectionRange(0, 0);
        }
        el.dataset.value = state.value;
        break;
      case 'combo_box':
        showEntries(control, state.entries);
        if (control.field.value !== state.text) control.field.value = state.text;
        el.dataset.value = state.value;
        break;
      case 'scroll_bar':
        showBar(control, state);
        break;
      case 'check_box':
        control.box.checked = state.checked;
        control.text.textContent = state.text;
        el.dataset.value = state.value;
        break;
      case 'frame':
        el.querySelector('.legend').textContent = state.text;
        el.dataset.value = state.value;
        break;
      case 'picture':
        break;
      default:
        el.textContent = state.text;
        el.dataset.value = state.value;
    }
  }
}

function place(element, item) {
  element.style.left = item.x + 'px';
  element.style.top = item.y + 'px';
  element.style.width = item.width + 'px';
  element.style.height = item.height + 'px';
  if (item.align === 'centre') element.classList.add('centre');
}

// The name and description a screen reader gives, and the tooltip.
function describe(element, item) {
  if (item.name !== '') element.setAttribute('aria-label', item.name);
  if (item.description !== '') {
    element.title = item.description;
    element.setAttribute('aria-description', item.description);
  }
}

function arrow(direction) {
  const a = document.createElement('div');
  a.className = 'arrow ' + direction;
  a.setAttribute('aria-hidden', 'true');
  return a;
}

function staticText(item) {
  const label = document.createElement('div');
  label.className = 'text';
  label.textContent = item.caption;
  return {item, element: label};
}

function frame(item) {
  const box = document.createElement('div');
  box.className = 'frame';
  if (item.name !== '') {
    box.setAttribute('role', 'group');
    box.setAttribute('aria-label', item.name);
  }
  const legend = document.createElement('span');
  legend.className = 'legend';
  legend.textContent = item.caption;
  box.appendChild(legend);
  return {item, element: box};
}

// A picture from the program's artwork, its centre shown when the control is smaller.
function picture(item) {
  const box = document.createElement('div');
  box.className = 'picture';
  const img = document.createElement('img');
  const name = 'artwork/bitmap' + item.bitmap;
  img.src = name + '.bmp';
  if (window.devicePixelRatio > 1) {
    // The artwork drawn at twice the size, where there is one.
    img.srcset = name + '.bmp 1x, ' + name + '@2x.png 2x';
    img.addEventListener('error', () => img.removeAttribute('srcset'), {once: true});
  }
  img.alt = item.name;
  img.draggable = false;
  box.appendChild(img);
  return {item, element: box};
}

function showEntries(control, entries) {
  const same = entries.length === control.entries.length &&
               entries.every((e, i) => e === control.entries[i]);
  if (same) return;
  control.entries = entries.slice();
  const items = entries.map((text, i) => {
    const li = document.createElement('li');
    li.setAttribute('role', 'option');
    li.id = control.list.id + '-' + (i + 1);
    li.dataset.entry = String(i + 1);
    li.textContent = text;
    return li;
  });
  control.list.replaceChildren(...items);
}

function showBar(control, s) {
  control.state = s;
  const bar = control.element;
  const low = Math.min(s.min, s.max);
  bar.setAttribute('aria-valuemin', String(low));
  bar.setAttribute('aria-valuemax', String(s.max));
  bar.setAttribute('aria-valuenow', String(s.position));
  const room = control.track.clientHeight - control.thumb.offsetHeight;
  const share = s.max > low ? (Math.min(Math.max(s.position, low), s.max) - low) / (s.max - low) : 0;
  control.thumb.style.top = Math.max(room, 0) * share + 'px';
}
