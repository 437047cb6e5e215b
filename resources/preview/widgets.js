// Brings the shop's widgets to life in the local preview, from the module's
// markup alone: carousels, countdowns and zoom popups run; widgets whose service
// only the shop's page provides are outlined and named.
(function () {
  'use strict';

  // The widget configurations are object literals in single quotes; they are
  // read, never run.
  function parseConfig(text) {
    let at = 0;
    const fail = () => { throw new SyntaxError('widget configuration, offset ' + at); };
    const blank = () => { while (at < text.length && /\s/.test(text[at])) ++at; };
    const take = (pattern) => {
      const match = pattern.exec(text.slice(at));
      if (!match)
        return null;
      at += match[0].length;
      return match[0];
    };
    function quoted() {
      const quote = text[at++];
      let out = '';
      while (at < text.length && text[at] !== quote) {
        if (text[at] === '\\')
          ++at;
        out += text[at++];
      }
      if (text[at++] !== quote)
        fail();
      return out;
    }
    function key() {
      blank();
      if (text[at] === '\'' || text[at] === '"')
        return quoted();
      return take(/^[\w$]+/) || fail();
    }
    function list(close, item) {
      ++at;
      blank();
      if (text[at] === close) {
        ++at;
        return;
      }
      for (;;) {
        item();
        blank();
        const next = text[at++];
        if (next === close)
          return;
        if (next !== ',')
          fail();
      }
    }
    function value() {
      blank();
      const c = text[at];
      if (c === '{') {
        const object = {};
        list('}', () => {
          const name = key();
          blank();
          if (text[at++] !== ':')
            fail();
          object[name] = value();
        });
        return object;
      }
      if (c === '[') {
        const array = [];
        list(']', () => array.push(value()));
        return array;
      }
      if (c === '\'' || c === '"')
        return quoted();
      const number = take(/^-?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?/i);
      if (number !== null)
        return Number(number);
      const word = take(/^(true|false|null)\b/);
      if (word !== null)
        return word === 'null' ? null : word === 'true';
      return fail();
    }
    const result = value();
    blank();
    if (at !== text.length)
      fail();
    return result;
  }

  // The easing names of the shop's widget library; t runs from 0 to 1.
  const BACK = 1.70158;
  function bounceOut(t) {
    if (t < 1 / 2.75)
      return 7.5625 * t * t;
    if (t < 2 / 2.75)
      return 7.5625 * (t -= 1.5 / 2.75) * t + 0.75;
    if (t < 2.5 / 2.75)
      return 7.5625 * (t -= 2.25 / 2.75) * t + 0.9375;
    return 7.5625 * (t -= 2.625 / 2.75) * t + 0.984375;
  }
  function elastic(t, period) {
    return Math.pow(2, -10 * t) * Math.sin((t - period / 4) * (2 * Math.PI) / period);
  }
  const EASING = {
    easeNone: (t) => t,
    easeIn: (t) => t * t,
    easeOut: (t) => (2 - t) * t,
    easeBoth: (t) => ((t *= 2) < 1 ? 0.5 * t * t : 0.5 * (1 - (--t) * (t - 2))),
    easeInStrong: (t) => t * t * t * t,
    easeOutStrong: (t) => 1 - (--t) * t * t * t,
    easeBothStrong: (t) => ((t *= 2) < 1 ? 0.5 * t * t * t * t : 0.5 * (2 - (t -= 2) * t * t * t)),
    elasticIn: (t) => (t === 0 || t === 1 ? t : -elastic(1 - t, 0.3)),
    elasticOut: (t) => (t === 0 || t === 1 ? t : elastic(t, 0.3) + 1),
    elasticBoth: (t) => {
      if (t === 0 || (t *= 2) === 2)
        return t / 2;
      return t < 1 ? -0.5 * elastic(1 - t, 0.45) : 0.5 * elastic(t - 1, 0.45) + 1;
    },
    backIn: (t) => t * t * ((BACK + 1) * t - BACK),
    backOut: (t) => (t -= 1) * t * ((BACK + 1) * t + BACK) + 1,
    backBoth: (t) => {
      const s = BACK * 1.525;
      return (t *= 2) < 1 ? 0.5 * (t * t * ((s + 1) * t - s)) : 0.5 * ((t -= 2) * t * ((s + 1) * t + s) + 2);
    },
    bounceIn: (t) => 1 - bounceOut(1 - t),
    bounceOut,
    bounceBoth: (t) => (t < 0.5 ? (1 - bounceOut(1 - t * 2)) * 0.5 : bounceOut(t * 2 - 1) * 0.5 + 0.5),
  };

  const frame = (callback) => (window.requestAnimationFrame
    ? window.requestAnimationFrame(callback) : window.setTimeout(callback, 16));

  // Runs step(progress) from 0 to 1 over `ms`; finish() jumps to the end.
  function animate(ms, easing, step, done) {
    const start = Date.now();
    let over = false;
    const finish = () => {
      if (over)
        return;
      over = true;
      step(1);
      done();
    };
    const tick = () => {
      if (over)
        return;
      const t = ms > 0 ? Math.min(1, (Date.now() - start) / ms) : 1;
      if (t >= 1) {
        finish();
        return;
      }
      step(easing(t));
      frame(tick);
    };
    tick();
    return finish;
  }

  const byClass = (root, name) => (name ? root.getElementsByClassName(String(name))[0] || null : null);
  const query = (root, selector) => {
    try {
      return selector ? root.querySelector(String(selector)) : null;
    } catch (error) {
      return null;
    }
  };
  const seconds = (value, fallback) => {
    const number = parseFloat(value);
    return Number.isFinite(number) && number >= 0 ? number * 1000 : fallback;
  };

  function carousel(root, config) {
    const content = byClass(root, config.contentCls || 'ks-switchable-content');
    if (!content || content.children.length === 0)
      return false;
    const panels = Array.from(content.children);
    const nav = byClass(root, config.navCls || 'ks-switchable-nav');
    const triggers = nav ? Array.from(nav.children) : [];
    const activeCls = config.activeTriggerCls || 'ks-active';
    const effect = ['scrollx', 'scrolly', 'fade'].includes(config.effect) ? config.effect : 'none';
    const easing = EASING[config.easing] || EASING.easeNone;
    const duration = seconds(config.duration, 500);
    const interval = seconds(config.interval, 5000);
    const circular = config.circular !== false;
    const box = content.parentElement;
    const width = box.clientWidth || panels[0].offsetWidth;
    const height = box.clientHeight || panels[0].offsetHeight;
    const axis = effect === 'scrolly' ? 'top' : 'left';
    const step = effect === 'scrolly' ? height : width;
    const n = panels.length;
    let index = 0;
    let finish = null;

    const place = (panel, slot) => {
      panel.style.left = axis === 'left' ? slot * step + 'px' : '0px';
      panel.style.top = axis === 'top' ? slot * step + 'px' : '0px';
    };
    const show = (i) => {
      panels.forEach((panel, k) => {
        if (effect === 'none')
          panel.style.display = k === i ? 'block' : 'none';
        if (effect === 'fade') {
          panel.style.opacity = k === i ? '1' : '0';
          panel.style.zIndex = k === i ? '2' : '1';
        }
      });
      if (effect === 'scrollx' || effect === 'scrolly') {
        panels.forEach(place);
        content.style.left = axis === 'left' ? -i * step + 'px' : '0px';
        content.style.top = axis === 'top' ? -i * step + 'px' : '0px';
      }
      triggers.forEach((trigger, k) => trigger.classList.toggle(activeCls, k === i));
    };

    function go(to, direction) {
      if (finish)
        finish();
      if (to === index)
        return;
      const from = index;
      index = to;
      triggers.forEach((trigger, k) => trigger.classList.toggle(activeCls, k === to));
      const settle = () => {
        finish = null;
        show(to);
      };
      if (effect === 'none') {
        settle();
        return;
      }
      if (effect === 'fade') {
        panels[from].style.zIndex = '1';
        panels[to].style.zIndex = '2';
        panels[to].style.opacity = '0';
        finish = animate(duration, easing, (t) => { panels[to].style.opacity = String(t); }, settle);
        return;
      }
      // Wrapping round, the panel coming in is moved next to the one going out.
      let target = to;
      if (direction > 0 && to < from) {
        target = from + 1;
        place(panels[to], target);
      } else if (direction < 0 && to > from) {
        target = from - 1;
        place(panels[to], target);
      }
      const start = -from * step;
      const end = -target * step;
      finish = animate(duration, easing, (t) => {
        content.style[axis] = start + (end - start) * t + 'px';
      }, settle);
    }

    const next = () => {
      if (index + 1 < n)
        go(index + 1, 1);
      else if (circular)
        go(0, 1);
    };
    const prev = () => {
      if (index > 0)
        go(index - 1, -1);
      else if (circular)
        go(n - 1, -1);
    };

    let timer = null;
    let hovered = false;
    const restart = () => {
      window.clearInterval(timer);
      timer = null;
      if (config.autoplay === true && !hovered)
        timer = window.setInterval(() => (index + 1 < n || circular ? next() : go(0, -1)), interval);
    };
    const user = (action) => () => {
      action();
      restart();
    };
    root.addEventListener('mouseenter', () => { hovered = true; restart(); });
    root.addEventListener('mouseleave', () => { hovered = false; restart(); });
    const prevButton = byClass(root, config.prevBtnCls);
    const nextButton = byClass(root, config.nextBtnCls);
    if (prevButton)
      prevButton.addEventListener('click', user(prev));
    if (nextButton)
      nextButton.addEventListener('click', user(next));
    triggers.forEach((trigger, k) => {
      const choose = user(() => go(k, k > index ? 1 : -1));
      let delay = null;
      trigger.addEventListener('click', choose);
      trigger.addEventListener('mouseenter', () => { delay = window.setTimeout(choose, 100); });
      trigger.addEventListener('mouseleave', () => window.clearTimeout(delay));
    });

    panels.forEach((panel) => {
      panel.style.position = 'absolute';
    });
    content.style.position = 'absolute';
    show(0);
    restart();
    return true;
  }

  // "2030-11-11 00:00:00" is the shop's local time.
  function endOf(value) {
    if (typeof value === 'number')
      return value;
    const m = /^\s*(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:[ T]+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$/.exec(String(value));
    if (!m)
      return NaN;
    return new Date(+m[1], m[2] - 1, +m[3], +(m[4] || 0), +(m[5] || 0), +(m[6] || 0)).getTime();
  }

  const UNITS = [['d', 86400000], ['h', 3600000], ['m', 60000], ['s', 1000], ['i', 100]];

  function countdown(root, config) {
    const end = endOf(config.endTime);
    if (!Number.isFinite(end))
      return false;
    const run = query(root, config.timeRunCls);
    const over = query(root, config.timeEndCls);
    const unitCls = config.timeUnitCls || {};
    const units = UNITS.map(([name, size]) => ({ element: query(root, unitCls[name]), size }))
      .filter((unit) => unit.element);
    const digits = Math.max(1, parseInt(config.minDigit, 10) || 1);
    const interval = Math.max(10, Number(config.interval) || 1000);
    let timer = null;

    const render = () => {
      let left = end - Date.now();
      if (left <= 0) {
        window.clearInterval(timer);
        if (run)
          run.style.display = 'none';
        if (over)
          over.style.display = 'block';
        return;
      }
      // A unit the format hides hands its time on to the next one shown; the
      // smallest one shown counts a started unit as whole, so that the last
      // second reads 1 until the end.
      const shown = units.filter((unit) => unit.element.getClientRects().length > 0);
      if (shown.length > 0) {
        const smallest = shown[shown.length - 1].size;
        left = Math.ceil(left / smallest) * smallest;
      }
      shown.forEach((unit) => {
        const value = Math.floor(left / unit.size);
        left -= value * unit.size;
        unit.element.textContent = String(value).padStart(digits, '0');
      });
    };
    render();
    timer = window.setInterval(render, interval);
    return true;
  }

  // Shows the popup beside its trigger while either is hovered.
  function popup(root, config) {
    const owner = root.parentElement;
    const triggers = owner ? Array.from(owner.querySelectorAll(String(config.trigger || ''))) : [];
    if (triggers.length === 0)
      return false;
    const align = config.align || {};
    const offset = Array.isArray(align.offset) ? align.offset : [0, 0];
    let hide = null;
    const open = (trigger) => {
      window.clearTimeout(hide);
      const node = (align.node && query(owner, align.node)) || trigger;
      root.style.position = 'absolute';
      root.style.display = 'block';
      const base = owner.getBoundingClientRect();
      const at = node.getBoundingClientRect();
      root.style.left = at.left - base.left + (Number(offset[0]) || 0) + 'px';
      root.style.top = at.top - base.top + at.height / 2 - root.offsetHeight / 2 + (Number(offset[1]) || 0) + 'px';
    };
    const close = () => {
      hide = window.setTimeout(() => { root.style.display = 'none'; }, 120);
    };
    triggers.forEach((trigger) => {
      trigger.addEventListener('mouseenter', () => open(trigger));
      trigger.addEventListener('mouseleave', close);
    });
    root.addEventListener('mouseenter', () => window.clearTimeout(hide));
    root.addEventListener('mouseleave', close);
    return true;
  }

  const WIDGETS = { Carousel: carousel, Countdown: countdown, Popup: popup };
  const WIDGET_KINDS = { Carousel: '轮播', Countdown: '倒计时', Popup: '放大' };

  // The component a piece of markup belongs to: the child of the module's
  // content element, or of the page column when the module has no wrapper.
  function componentOf(element) {
    for (let e = element; e && e.parentElement; e = e.parentElement) {
      const parent = e.parentElement;
      const wrapper = parent.parentElement && parent.parentElement.parentElement;
      if ((wrapper && wrapper.classList.contains('ZozIre')) || parent.classList.contains('plumbrook-column'))
        return e;
    }
    return null;
  }

  function mark(component, name, note) {
    if (!component || component.classList.contains('plumbrook-service'))
      return;
    component.classList.add('plumbrook-service');
    component.setAttribute('data-plumbrook-kind', name);
    component.title = note ? name + '：' + note : name;
  }

  // Widgets served by the shop's page, by the hooks their markup carries.
  const SERVICES = [
    ['收藏', 'a.J_TokenSign'],
    ['分享', '[data-sharebtn]'],
    ['喜欢', '[data-like]'],
    ['关注', '.j_CollectBrand'],
    ['购物车', '.J_CartPluginTrigger'],
    ['旺旺群', 'a[href*="wwgroup.php"]'],
    ['客服', 'a[href*="ww.php"], a[href*="getcid.aw"], img[src*="realonline.aw"]'],
    ['搜索', 'form[name="SearchForm"]'],
    ['视频', 'embed[pluginspage]'],
    ['flash', 'embed:not([pluginspage])'],
  ];

  function start() {
    SERVICES.forEach(([name, selector]) => {
      document.querySelectorAll(selector).forEach((element) => mark(componentOf(element), name));
    });
    // The QR code is a bare picture, the only kind whose one child is an img.
    document.querySelectorAll('.ZozIre > div > div > *, .plumbrook-column > *').forEach((component) => {
      if (component.tagName === 'DIV' && component.children.length === 1 && component.children[0].tagName === 'IMG')
        mark(component, '二维码');
    });
    document.querySelectorAll('.J_TWidget').forEach((element) => {
      const type = element.getAttribute('data-widget-type');
      const build = WIDGETS[type];
      let config = null;
      try {
        config = parseConfig(element.getAttribute('data-widget-config') || '{}');
      } catch (error) {
        config = null;
      }
      if (build && config && typeof config === 'object' && build(element, config))
        return;
      mark(componentOf(element) || element, WIDGET_KINDS[type] || type || 'J_TWidget',
           config ? '预览里无法运行' : '设置无法读取');
    });
    document.documentElement.setAttribute('data-plumbrook-widgets', 'ready');
  }

  if (document.readyState === 'loading')
    document.addEventListener('DOMContentLoaded', start);
  else
    start();
}());
