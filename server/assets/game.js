// Veltan: catch the falling gems with the knight's shield, dodge the fireballs.
(function () {
  var canvas = document.getElementById('game');
  var ctx = canvas.getContext('2d');
  var W = canvas.width, H = canvas.height;
  var PLAYER_W = 70, PLAYER_H = 18, PLAYER_Y = H - 44, SPEED = 420;
  var KINDS = {
    gem: { points: 10, radius: 11, color: '#f3d27a' },
    crystal: { points: 25, radius: 9, color: '#7ad0f3' },
    fire: { points: 0, radius: 13, color: '#ff5a2a' }
  };

  var keys = {};
  var mouseX = null;
  var best = readBest();
  var game;

  function readBest() {
    try { return Number(window.localStorage.getItem('veltan.best')) || 0; } catch (e) { return 0; }
  }
  function saveBest() {
    try { window.localStorage.setItem('veltan.best', String(best)); } catch (e) { /* storage off: keep it in memory */ }
  }

  function newGame(mode) {
    game = { mode: mode, x: W / 2, score: 0, lives: 3, level: 1, items: [], untilSpawn: 0, flash: 0 };
  }

  function start() {
    if (game.mode === 'ready' || game.mode === 'over') newGame('play');
    else if (game.mode === 'paused') game.mode = 'play';
  }

  function spawn() {
    var roll = Math.random();
    var kind = roll < 0.08 ? 'crystal' : roll < 0.08 + Math.min(0.45, 0.22 + game.level * 0.03) ? 'fire' : 'gem';
    game.items.push({
      kind: kind,
      x: 20 + Math.random() * (W - 40),
      y: -20,
      vy: 110 + game.level * 22 + Math.random() * 60
    });
    game.untilSpawn = Math.max(0.22, 0.9 - game.level * 0.06) * (0.6 + Math.random() * 0.8);
  }

  function update(dt) {
    if (game.flash > 0) game.flash -= dt;
    if (game.mode !== 'play') return;
    var dir = (keys.ArrowRight || keys.d ? 1 : 0) - (keys.ArrowLeft || keys.a ? 1 : 0);
    if (dir !== 0) {
      game.x += dir * SPEED * dt;
      mouseX = null;
    } else if (mouseX !== null) {
      game.x += Math.max(-SPEED * dt, Math.min(SPEED * dt, mouseX - game.x));
    }
    game.x = Math.max(PLAYER_W / 2, Math.min(W - PLAYER_W / 2, game.x));

    game.untilSpawn -= dt;
    if (game.untilSpawn <= 0) spawn();

    var kept = [];
    for (var i = 0; i < game.items.length; i++) {
      var item = game.items[i];
      item.y += item.vy * dt;
      var r = KINDS[item.kind].radius;
      var caught = item.y + r >= PLAYER_Y && item.y - r <= PLAYER_Y + PLAYER_H &&
                   Math.abs(item.x - game.x) <= PLAYER_W / 2 + r;
      if (caught) {
        if (item.kind === 'fire') {
          game.lives -= 1;
          game.flash = 0.35;
        } else {
          game.score += KINDS[item.kind].points;
          game.level = 1 + Math.floor(game.score / 120);
        }
      } else if (item.y - r < H) {
        kept.push(item);
      }
    }
    game.items = kept;
    if (game.lives <= 0) {
      game.mode = 'over';
      if (game.score > best) { best = game.score; saveBest(); }
    }
  }

  function drawItem(item) {
    var k = KINDS[item.kind];
    ctx.save();
    ctx.translate(item.x, item.y);
    ctx.shadowColor = k.color;
    ctx.shadowBlur = 14;
    ctx.fillStyle = k.color;
    ctx.beginPath();
    if (item.kind === 'fire') {
      ctx.arc(0, 0, k.radius, 0, Math.PI * 2);
    } else {
      ctx.moveTo(0, -k.radius); ctx.lineTo(k.radius * 0.8, 0); ctx.lineTo(0, k.radius); ctx.lineTo(-k.radius * 0.8, 0);
      ctx.closePath();
    }
    ctx.fill();
    ctx.restore();
  }

  function centered(text, y, size, color) {
    ctx.font = 'bold ' + size + 'px sans-serif';
    ctx.textAlign = 'center';
    ctx.fillStyle = color;
    ctx.fillText(text, W / 2, y);
  }

  function draw() {
    var sky = ctx.createLinearGradient(0, 0, 0, H);
    sky.addColorStop(0, '#1a0f06');
    sky.addColorStop(1, game.flash > 0 ? '#4a1206' : '#070403');
    ctx.fillStyle = sky;
    ctx.fillRect(0, 0, W, H);
    ctx.fillStyle = '#2a1d0c';
    ctx.fillRect(0, PLAYER_Y + PLAYER_H + 8, W, H);

    for (var i = 0; i < game.items.length; i++) drawItem(game.items[i]);

    ctx.fillStyle = '#d4a94a';
    ctx.fillRect(game.x - PLAYER_W / 2, PLAYER_Y, PLAYER_W, PLAYER_H);
    ctx.fillStyle = '#7a4b10';
    ctx.fillRect(game.x - PLAYER_W / 2 + 4, PLAYER_Y + 4, PLAYER_W - 8, PLAYER_H - 8);

    ctx.font = '16px sans-serif';
    ctx.textAlign = 'left';
    ctx.fillStyle = '#f3d27a';
    ctx.fillText('积分 ' + game.score + '   等级 ' + game.level + '   生命 ' + '♥'.repeat(Math.max(0, game.lives)), 14, 26);
    ctx.textAlign = 'right';
    ctx.fillText('最高 ' + best, W - 14, 26);

    if (game.mode === 'ready') {
      centered('烈焰宝石', H / 2 - 30, 44, '#f3d27a');
      centered('接住金色与蓝色宝石，避开火球', H / 2 + 12, 18, '#e9d6a6');
      centered('按空格 / 回车或点击开始', H / 2 + 44, 18, '#c9a45a');
    } else if (game.mode === 'paused') {
      centered('暂停', H / 2, 40, '#f3d27a');
    } else if (game.mode === 'over') {
      centered('游戏结束  积分 ' + game.score, H / 2 - 10, 36, '#ff8a5c');
      centered('按空格 / 回车或点击再来一局', H / 2 + 30, 18, '#c9a45a');
    }
  }

  var last = null;
  function frame(now) {
    var dt = last === null ? 0 : Math.min(0.05, (now - last) / 1000);
    last = now;
    update(dt);
    draw();
    window.requestAnimationFrame(frame);
  }

  function keyName(event) {
    return event.key.length === 1 ? event.key.toLowerCase() : event.key;
  }
  window.addEventListener('keydown', function (event) {
    // Keys on a focused link keep their meaning: Enter follows it.
    if (event.target && event.target.tagName === 'A') return;
    var key = keyName(event);
    if (key === ' ' || key === 'Enter') {
      start();
      event.preventDefault();
    } else if (key === 'p' && (game.mode === 'play' || game.mode === 'paused')) {
      game.mode = game.mode === 'play' ? 'paused' : 'play';
    } else if (key === 'ArrowLeft' || key === 'ArrowRight') {
      event.preventDefault();
    }
    keys[key] = true;
  });
  window.addEventListener('keyup', function (event) { keys[keyName(event)] = false; });
  window.addEventListener('blur', function () {
    keys = {};
    if (game.mode === 'play') game.mode = 'paused';
  });
  canvas.addEventListener('mousemove', function (event) {
    var box = canvas.getBoundingClientRect();
    mouseX = (event.clientX - box.left) * (W / box.width);
  });
  canvas.addEventListener('click', function () {
    canvas.focus();
    start();
  });

  newGame('ready');
  canvas.focus();
  window.requestAnimationFrame(frame);
})();
