// The login form navigates the whole page to the game address with the account
// and the chosen server; an empty account is refused in place.
(function () {
  var form = document.getElementById('login');
  var account = document.getElementById('account');
  var hint = document.getElementById('hint');

  form.addEventListener('submit', function (event) {
    var name = account.value.trim();
    if (name === '') {
      event.preventDefault();
      hint.textContent = '请输入账号';
      account.focus();
      return;
    }
    account.value = name;
    hint.textContent = '';
  });

  account.addEventListener('input', function () {
    hint.textContent = '';
  });
})();
